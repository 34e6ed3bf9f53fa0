// LogFile over the Windows file calls, for the Windows build: a path in
// UTF-8, any script; the file opened for each line and closed again, so that
// between lines it is free to be read, moved or deleted, also by another run
// writing to it.
#pragma once

#include <string>

#include "winsys/log_file.h"

namespace kestrum::win32 {

class Win32LogFile final : public LogFile {
public:
    explicit Win32LogFile(const std::string& utf8Path);

    std::uint64_t Size() override;
    bool Append(std::string_view bytes) override;
    bool SetAside() override;
    bool BeginAgain() override;

private:
    std::wstring path_;
};

}  // namespace kestrum::win32
