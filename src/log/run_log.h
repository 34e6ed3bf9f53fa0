// The log an unattended run and the watch keep: one line per event worth
// telling, appended, UTF-8, flushed at once. A log that grows over its
// limit (1 MiB) is renamed to FILE.1, replacing an older one, and a new one
// begun, so that a watch running for months keeps two files at most.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrum {

class RunLog {
public:
    // The local time as a line starts with it, "2026-12-07 14:05:09".
    using TimeText = std::function<std::string()>;
    static std::string LocalTimeNow();

    // Logs nothing for an empty path. A file that cannot be written stops
    // nothing: the line is lost, the run goes on, and the next line tries
    // the file again.
    explicit RunLog(std::string path, std::uintmax_t limit = 1024 * 1024, TimeText timeText = LocalTimeNow);
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // "<local time>  <message>\n"; a line break inside the message becomes a space.
    void Write(std::string_view message);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::uintmax_t limit_;
    TimeText timeText_;
};

}  // namespace kestrum
