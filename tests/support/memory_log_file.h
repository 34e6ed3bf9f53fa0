// A log file held in memory: what was appended, and what was set aside;
// writing and setting aside can be made to fail.
#pragma once

#include <string>
#include <utility>

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
    bool SetAside() override {
        if (!canSetAside) return false;
        setAside = std::exchange(text, {});
        return true;
    }
    bool BeginAgain() override {
        if (!writable || !canBeginAgain) return false;
        text.clear();
        return true;
    }

    std::string text;
    std::string setAside;
    bool writable = true;
    bool canSetAside = true;
    bool canBeginAgain = true;
};

}  // namespace kestrum::testing
