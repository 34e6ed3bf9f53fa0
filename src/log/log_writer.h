// The log's file, a line at a time: appended, UTF-8, written at once. A log
// that would grow over its limit (1 MiB) is set aside as FILE.1, replacing
// an older one, and a new one begun, so that a watch running for months
// keeps two files at most. Where it cannot be set aside, it is begun again
// in place; where that cannot be done either, lines are dropped: the file
// never grows past its limit by more than a line, and the next line written
// says what was lost.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "winsys/log_file.h"

namespace kestrum {

// The longest line written, its end included; a longer message is cut.
inline constexpr std::size_t kLongestLogLine = 4096;

class LogWriter {
public:
    // The local time a line starts with, "2026-12-07 14:05:09".
    using TimeText = std::function<std::string()>;
    static std::string LocalTimeNow();

    // `file` null: nothing is written. A file that cannot be written stops
    // nothing: the line is lost, the run goes on, and the next line tries
    // the file again.
    explicit LogWriter(LogFile* file, std::uint64_t limit = 1024 * 1024, TimeText timeText = LocalTimeNow);

    // "<local time>  <message>\n"; a line break inside the message becomes
    // a space, and a message too long for a line is cut ("…").
    void Write(std::string_view message);
    bool Enabled() const { return file_ != nullptr; }

private:
    std::string Line(std::string_view message) const;
    // What was lost since the last line written, as a line; empty if nothing.
    std::string LossLine() const;

    LogFile* file_;
    std::uint64_t limit_;
    TimeText timeText_;
    // Lines not written, and why (the last reason).
    std::uint64_t linesLost_ = 0;
    std::string_view lostBecause_;
    // Bytes of earlier lines emptied away, the file not set aside.
    std::uint64_t bytesLost_ = 0;
};

}  // namespace kestrum
