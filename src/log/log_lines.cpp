#include "log/log_lines.h"

#include "log/log_text.h"

namespace kestrum {
namespace {

// 'client 65552 "Orders", pane 65560'
std::string ClientAndPane(WindowHandle client, std::string_view clientTitle, WindowHandle pane) {
    std::string text = "client " + std::to_string(client) + " \"";
    return text.append(EscapedForLog(clientTitle)).append("\", pane ").append(std::to_string(pane));
}

// "width 250 from the command line"
std::string WidthFrom(std::int16_t width, Source source) {
    return "width " + std::to_string(width) + " from " + std::string(SourceWords(source));
}

}  // namespace

std::string_view OutcomeWords(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::Moved: return "set";
        case ResetOutcome::AlreadyThatWide: return "already that width";
        case ResetOutcome::PaneGone: return "gone";
        case ResetOutcome::Refused: return "refused";
        case ResetOutcome::NotAnswering: return "not answering";
        case ResetOutcome::NotTaken: return "not taken";
        case ResetOutcome::OtherAccount: return "refused (another account)";
    }
    return "?";
}

std::string_view WatchEndWords(WatchEnd end) {
    switch (end) {
        case WatchEnd::Stopped: return "stopped";
        case WatchEnd::StoppedFromIcon: return "stopped from its icon";
        case WatchEnd::SessionEnded: return "session ended";
        case WatchEnd::ClosedByWindows: return "closed by Windows (an update, or to free resources)";
        case WatchEnd::EndedWithClient: return "ended with the client";
    }
    return "ended";
}

std::string LineOf(const PaneOutcome& outcome) {
    const ResetReport& report = outcome.report;
    if (report.pane == 0) return "no pane found";
    std::string line = ClientAndPane(outcome.client, outcome.title, report.pane);
    if (report.widthBefore != 0 || report.widthAfter != 0) {
        line.append(": ").append(std::to_string(report.widthBefore)).append(" -> ");
        line.append(std::to_string(report.widthAfter));
    }
    return line.append(", ").append(OutcomeWords(report.outcome));
}

std::string LineOf(const SeveralPanes& several) {
    return ClientAndPane(several.client, several.title, several.pane) + ": several panes, left alone";
}

std::string LineOf(const ValueRefused& refused) { return OutOfRangeMessage(refused.value); }

std::string LineOf(const UserWidthIgnored& ignored) {
    if (!ignored.stored.width) return "your own width is ignored: it is not a number (REG_DWORD)";
    return "your own width " + std::to_string(*ignored.stored.width) + " is ignored: it must lie between " +
           std::to_string(kNarrowestPane) + " and " + std::to_string(kWidestPane);
}

std::string LineOf(const UnattendedStarted& started) {
    return "unattended run: " + WidthFrom(started.width, started.widthFrom);
}

std::string LineOf(const NothingChosen& nothing) {
    std::string line;
    switch (nothing.why) {
        case NothingChosen::Why::NoClient: return "no client found";
        case NothingChosen::Why::SeveralClients: line = "several clients"; break;
        case NothingChosen::Why::SeveralPanes: line = "several panes"; break;
        case NothingChosen::Why::NoPane: line = "no pane"; break;
    }
    return line.append(nothing.windowShown ? ", the window is shown" : ", nothing changed");
}

std::string LineOf(const WatchStarted& started) {
    return "started: " + WidthFrom(started.width, started.widthFrom) + ", settling time " +
           std::to_string(started.settleMs) + " ms from " + std::string(SourceWords(started.settleFrom));
}

std::string_view LineOf(WatchNotStarted why) {
    switch (why) {
        case WatchNotStarted::Session0:
            return "not started: it runs in session 0 (as a service, or a task run whether the user is logged on "
                   "or not), where no user's windows are";
        case WatchNotStarted::StationNotVisible:
            return "not started: its window station is not visible: no user's windows can be seen from it";
        case WatchNotStarted::AlreadyWatching: return "not started: Kestrum already watches this session";
        case WatchNotStarted::AlreadyWatchingWithHigherRights:
            return "not started: Kestrum already watches this session (a watch with higher rights)";
        case WatchNotStarted::MarkNotMade: break;
    }
    return "not started: the session's watch mark could not be made";
}

std::string_view LineOf(StopFailed why) {
    switch (why) {
        case StopFailed::HigherRights:
            return "/stop: this session's watch runs with higher rights and cannot be told to end; run /stop the "
                   "same way (as administrator)";
        case StopFailed::DidNotEnd: return "/stop: this session's watch did not end within 5 seconds";
        case StopFailed::NotReached: break;
    }
    return "/stop: this session's watch could not be reached within 5 seconds";
}

std::string_view CommandWords(WatchRequest request) {
    switch (request) {
        case WatchRequest::Stop: return "/stop";
        case WatchRequest::Pause: return "/pause";
        case WatchRequest::Resume: return "/resume";
        case WatchRequest::Forget: return "/forget";
        case WatchRequest::ApplyNow:
        case WatchRequest::UserWidth: break;
    }
    return "/apply";
}

std::string LineOf(const AskFailed& failed) {
    std::string line(CommandWords(failed.request));
    switch (failed.why) {
        case AskFailed::Why::NoWatch: return line + ": no watch runs in this session";
        case AskFailed::Why::HigherRights:
            return line + ": this session's watch runs with higher rights and cannot be asked; run " + line +
                   " the same way (as administrator)";
        case AskFailed::Why::NotAnswered: return line + ": this session's watch did not answer within 5 seconds";
        case AskFailed::Why::NotReached: break;
    }
    return line + ": this session's watch could not be reached within 5 seconds";
}

std::string LineOf(const AskedFromCommandLine& asked) {
    std::string line = std::string(CommandWords(asked.request)) + " from the command line";
    if (!asked.soAlready) return line;
    switch (asked.request) {
        case WatchRequest::Pause: return line + ": paused already";
        case WatchRequest::Resume: return line + ": not paused";
        case WatchRequest::Forget: return line + ": no user's width is kept";
        default: return line;
    }
}

std::string LineOf(const ProgramStarted& started) {
    return "program \"" + EscapedForLog(started.line.program) + "\" started" +
           (started.forTheRunningWatch ? ": this session's watch sets its pane" : "");
}

std::string LineOf(const ProgramNotStarted& notStarted) {
    return "program \"" + EscapedForLog(notStarted.line.program) +
           "\" could not be started: " + EscapedForLog(notStarted.reason);
}

std::string LineOf(const PaneGivenUp& givenUp) {
    return ClientAndPane(givenUp.client, givenUp.title, givenUp.pane) +
           (givenUp.why == PaneGivenUp::Why::NotShown
                ? ": not shown within a minute, given up"
                : ": gone while it still moved, over a minute after it appeared");
}

std::string LineOf(const WidthNotYetSeen& notYet) {
    return ClientAndPane(notYet.client, notYet.title, notYet.pane) + ": " + std::to_string(notYet.widthBefore) +
           ", width " + std::to_string(notYet.width) + " asked but not yet seen";
}

std::string_view LineOf(WatchPaused paused) { return paused.paused ? "paused" : "no longer paused"; }

std::string LineOf(const UserWidthKept& kept) {
    return "user's width " + std::to_string(kept.width) + " kept (was " + std::to_string(kept.was) + ")" +
           (kept.stored ? "" : " for this session only: it could not be stored");
}

std::string LineOf(const UserWidthForgotten& forgotten) {
    return "user's width " + std::to_string(forgotten.width) + " forgotten: " +
           WidthFrom(forgotten.back, forgotten.backFrom);
}

std::string_view LineOf(WatchMishap mishap) {
    return mishap == WatchMishap::NotRegisteredForRestart
               ? "not registered to be started again after an update (its command line is too long)"
               : "Kestrum's window could not be opened";
}

std::string_view LineOf(Failure failure) {
    return failure == Failure::WatchNotStarted ? "not started: the window events cannot be had"
                                               : "ended: internal failure";
}

}  // namespace kestrum
