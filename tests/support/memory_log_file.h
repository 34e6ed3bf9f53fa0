// A log file held in memory: what was appended, and what was set aside.
#pragma once

#include <string>

#include "winsys/log_file.h"

namespace kestrum::testing {

class MemoryLogFile final : public LogFile {
public:
    std::uint64_t Size() override { return text.size(); }
    bool Append(std::string_view bytes) override {
        if (!writable) return false;
        text.append(bytes);
        return true;
    }
    void SetAside() override { setAside = std::exchange(text, {}); }

    std::string text;
    std::string setAside;
    bool writable = true;
};

}  // namespace kestrum::testing
