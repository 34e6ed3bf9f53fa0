// The log an unattended run and the watch keep: told what happened, it
// writes that thing's line in the log's file (LogWriter) and, where the
// level asks for it, reports its event to the system's event log. Every line
// is one of the things below, its words written in one place (log_lines.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "log/log_lines.h"
#include "log/log_writer.h"
#include "log/what_happened.h"
#include "winsys/event_log.h"

namespace kestrum {

class RunLog {
public:
    // `file` null: no lines are written.
    explicit RunLog(LogFile* file, std::uint64_t limit = 1024 * 1024,
                    LogWriter::TimeText timeText = LogWriter::LocalTimeNow);

    // Lines or events are kept: what happened is worth finding out.
    bool Enabled() const { return lines_.Enabled() || events_ != nullptr; }

    // Reports events to `events` (null: none) at `level`: those of an
    // unattended run or the watch, never of the window a user sees.
    void SendEventsTo(EventLog* events, EventLevel level);

    // What happened: its line, and its event where the level asks for it.
    // Once an unattended run shows its window, what is done there is the
    // user's, told in boxes, and no pane's outcome is reported.
    void Tell(const PaneOutcome& outcome);
    void Tell(const SeveralPanes& several);
    void Tell(const PolicyIgnored& ignored);
    void Tell(const UserWidthIgnored& ignored);
    void Tell(const NothingChosen& nothing);
    void Tell(const WatchStarted& started);
    void Tell(WatchEnd end);
    void Tell(const ProgramNotStarted& notStarted);
    void Tell(Failure failure);
    // What gives no event: its line alone.
    template <typename News>
        requires requires(const News& news) { LineOf(news); }
    void Tell(const News& news) {
        Write(LineOf(news));
    }

private:
    void Write(std::string_view line) { lines_.Write(line); }
    void Report(std::uint32_t id, std::vector<std::string> strings);

    LogWriter lines_;
    EventLog* events_ = nullptr;
    EventLevel eventLevel_ = EventLevel::None;
    bool windowShown_ = false;
};

}  // namespace kestrum
