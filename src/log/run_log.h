// The log an unattended run and the watch keep: one line per event worth
// telling, appended, UTF-8, written at once. A log that would grow over its
// limit (1 MiB) is set aside as FILE.1, replacing an older one, and a new
// one begun, so that a watch running for months keeps two files at most.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "winsys/log_file.h"

namespace kestrum {

class RunLog {
public:
    // The local time a line starts with, "2026-12-07 14:05:09".
    using TimeText = std::function<std::string()>;
    static std::string LocalTimeNow();

    // `file` null: nothing is logged. A file that cannot be written stops
    // nothing: the line is lost, the run goes on, and the next line tries
    // the file again.
    explicit RunLog(LogFile* file, std::uint64_t limit = 1024 * 1024, TimeText timeText = LocalTimeNow);

    // "<local time>  <message>\n"; a line break inside the message becomes a space.
    void Write(std::string_view message);
    bool Enabled() const { return file_ != nullptr; }

private:
    LogFile* file_;
    std::uint64_t limit_;
    TimeText timeText_;
};

}  // namespace kestrum
