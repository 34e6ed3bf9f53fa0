// The log an unattended run and the watch keep: one line per event worth
// telling, appended, UTF-8, written at once. A log that would grow over its
// limit (1 MiB) is set aside as FILE.1, replacing an older one, and a new
// one begun, so that a watch running for months keeps two files at most.
// Where it cannot be set aside, it is begun again in place; where that
// cannot be done either, lines are dropped: the file never grows past its
// limit by more than a line, and the next line written says what was lost.
// Told what happened, it writes that thing's line and, where the level asks
// for it, reports its event to the system's event log.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "log/what_happened.h"
#include "winsys/event_log.h"
#include "winsys/log_file.h"

namespace kestrum {

// The longest line written, its end included; a longer message is cut.
inline constexpr std::size_t kLongestLogLine = 4096;

class RunLog {
public:
    // The local time a line starts with, "2026-12-07 14:05:09".
    using TimeText = std::function<std::string()>;
    static std::string LocalTimeNow();

    // `file` null: nothing is logged. A file that cannot be written stops
    // nothing: the line is lost, the run goes on, and the next line tries
    // the file again.
    explicit RunLog(LogFile* file, std::uint64_t limit = 1024 * 1024, TimeText timeText = LocalTimeNow);

    // "<local time>  <message>\n"; a line break inside the message becomes
    // a space, and a message too long for a line is cut ("…").
    void Write(std::string_view message);
    // Lines or events are kept: what happened is worth finding out.
    bool Enabled() const { return file_ != nullptr || events_ != nullptr; }

    // Reports events to `events` (null: none) at `level`: those of an
    // unattended run or the watch, never of the window a user sees.
    void SendEventsTo(EventLog* events, EventLevel level);

    // What happened: its line, and its event where the level asks for it.
    // A client gets at most one event of each kind, however often it meets
    // the same outcome; once an unattended run shows its window, what is done
    // there is the user's, told in boxes, and no pane's outcome is reported.
    void Tell(const PaneOutcome& outcome);
    void Tell(const SeveralPanes& several);
    void Tell(const PolicyIgnored& ignored);
    void Tell(const NothingChosen& nothing);
    void Tell(const WatchStarted& started);
    void Tell(WatchEnd end);
    void Tell(Failure failure);

private:
    void Report(std::uint32_t id, std::vector<std::string> strings, WindowHandle client = 0);
    // The line as written: time, message, end.
    std::string Line(std::string_view message) const;
    // What was lost since the last line written, as a line; empty if nothing.
    std::string LossLine() const;

    LogFile* file_;
    std::uint64_t limit_;
    TimeText timeText_;
    EventLog* events_ = nullptr;
    EventLevel eventLevel_ = EventLevel::None;
    bool windowShown_ = false;
    // The clients' events reported, each (client, event ID) once.
    std::set<std::pair<WindowHandle, std::uint32_t>> told_;
    // Lines not written, and why (the last reason).
    std::uint64_t linesLost_ = 0;
    std::string_view lostBecause_;
    // Bytes of earlier lines emptied away, the file not set aside.
    std::uint64_t bytesLost_ = 0;
};

}  // namespace kestrum
