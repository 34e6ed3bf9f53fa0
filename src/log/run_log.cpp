// What the run log is told, turned into its line and its event: the one
// place that decides which event (ID, type, strings) each thing gives, and
// at which level. The events' sentences are in src/app/kestrum.mc.
#include <string>

#include "log/log_lines.h"
#include "log/log_text.h"
#include "log/run_log.h"

namespace kestrum {
namespace {

enum EventId : std::uint32_t {
    kWatchStarted = 1000,
    kWatchEnded = 1001,
    kWidthSet = 1100,
    kNotAnswering = 1200,
    kNotTaken = 1201,
    kRefused = 1202,
    kSeveralPanes = 1203,
    kPolicyIgnored = 1204,
    kNothingChosen = 1205,
    kUserWidthIgnored = 1206,
    kProgramNotStarted = 1207,
    kOtherAccount = 1208,
    kInternalFailure = 1300,
};

// The type follows from the ID's hundred: 10 and 11 information, 12
// warning, 13 error.
EventType TypeOf(std::uint32_t id) {
    return id >= 1300 ? EventType::Error : id >= 1200 ? EventType::Warning : EventType::Information;
}

std::string_view FailurePhrase(Failure failure) {
    switch (failure) {
        case Failure::WatchNotStarted: return "the watch could not hear the window events, and did not start";
        case Failure::WatchFailed: return "the watch failed while it ran";
        case Failure::RunFailed: break;
    }
    return "the window could not be made, or memory ran out";
}

}  // namespace

RunLog::RunLog(LogFile* file, std::uint64_t limit, LogWriter::TimeText timeText)
    : lines_(file, limit, std::move(timeText)) {}

void RunLog::SendEventsTo(EventLog* events, EventLevel level) {
    events_ = level == EventLevel::None ? nullptr : events;
    eventLevel_ = level;
}

void RunLog::Tell(const PaneOutcome& outcome) {
    const ResetReport& report = outcome.report;
    Write(LineOf(outcome));
    if (report.pane == 0 || outcome.again) return;
    std::uint32_t id = kWidthSet;
    switch (report.outcome) {
        case ResetOutcome::PaneGone: return;
        case ResetOutcome::NotAnswering: id = kNotAnswering; break;
        case ResetOutcome::NotTaken: id = kNotTaken; break;
        case ResetOutcome::Refused: id = kRefused; break;
        case ResetOutcome::OtherAccount: id = kOtherAccount; break;
        case ResetOutcome::Moved:
        case ResetOutcome::AlreadyThatWide: break;
    }
    if (windowShown_ || (id == kWidthSet && eventLevel_ != EventLevel::Every)) return;
    Report(id,
           {std::to_string(outcome.client), EscapedForLog(outcome.title), std::to_string(report.pane),
            std::to_string(report.widthBefore), std::to_string(report.widthAfter), std::to_string(outcome.width),
            std::string(SourceWords(outcome.widthFrom)), std::string(OutcomeWords(report.outcome))});
}

void RunLog::Tell(const SeveralPanes& several) {
    Write(LineOf(several));
    Report(kSeveralPanes, {std::to_string(several.client), EscapedForLog(several.title), std::to_string(several.pane)});
}

void RunLog::Tell(const PolicyIgnored& ignored) {
    Write(ignored.text);
    Report(kPolicyIgnored, {std::string(ignored.text)});
}

void RunLog::Tell(const UserWidthIgnored& ignored) {
    const std::string line = LineOf(ignored);
    Write(line);
    Report(kUserWidthIgnored, {line});
}

void RunLog::Tell(const NothingChosen& nothing) {
    const std::string line = LineOf(nothing);
    Write(line);
    if (nothing.windowShown) {
        windowShown_ = true;
        return;
    }
    Report(kNothingChosen, {line, nothing.why == NothingChosen::Why::NoClient ? "1" : "5"});
}

void RunLog::Tell(const WatchStarted& started) {
    Write(LineOf(started));
    Report(kWatchStarted, {std::to_string(started.width), std::string(SourceWords(started.widthFrom)),
                           std::to_string(started.settleMs), std::string(SourceWords(started.settleFrom))});
}

void RunLog::Tell(WatchEnd end) {
    Write(WatchEndWords(end));
    Report(kWatchEnded, {std::string(WatchEndWords(end))});
}

void RunLog::Tell(const ProgramNotStarted& notStarted) {
    Write(LineOf(notStarted));
    Report(kProgramNotStarted, {EscapedForLog(notStarted.line.program), EscapedForLog(notStarted.reason)});
}

void RunLog::Tell(Failure failure) {
    Write(LineOf(failure));
    Report(kInternalFailure, {std::string(FailurePhrase(failure))});
    if (failure == Failure::WatchFailed) Report(kWatchEnded, {"internal failure"});
}

void RunLog::Report(std::uint32_t id, std::vector<std::string> strings) {
    if (events_ != nullptr) events_->Report(TypeOf(id), id, strings);
}

}  // namespace kestrum
