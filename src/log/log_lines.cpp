#include "log/log_lines.h"

#include "log/log_text.h"

namespace kestrum {

std::string ClientAndPane(WindowHandle client, std::string_view clientTitle, WindowHandle pane) {
    std::string text = "client " + std::to_string(client) + " \"";
    return text.append(EscapedForLog(clientTitle)).append("\", pane ").append(std::to_string(pane));
}

std::string_view OutcomeWords(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::Moved: return "set";
        case ResetOutcome::AlreadyThatWide: return "already that width";
        case ResetOutcome::PaneGone: return "gone";
        case ResetOutcome::Refused: return "refused";
        case ResetOutcome::NotAnswering: return "not answering";
        case ResetOutcome::NotTaken: return "not taken";
    }
    return "?";
}

std::string ReportLine(const ResetReport& report, WindowHandle client, std::string_view clientTitle) {
    std::string line = ClientAndPane(client, clientTitle, report.pane);
    if (report.widthBefore != 0 || report.widthAfter != 0) {
        line.append(": ").append(std::to_string(report.widthBefore)).append(" -> ");
        line.append(std::to_string(report.widthAfter));
    }
    return line.append(", ").append(OutcomeWords(report.outcome));
}

std::string WidthFrom(std::int16_t width, Source source) {
    return "width " + std::to_string(width) + " from " + std::string(SourceWords(source));
}

std::string NothingChosenLine(const NothingChosen& nothing) {
    std::string line;
    switch (nothing.why) {
        case NothingChosen::Why::NoClient: return "no client found";
        case NothingChosen::Why::SeveralClients: line = "several clients"; break;
        case NothingChosen::Why::SeveralPanes: line = "several panes"; break;
        case NothingChosen::Why::NoPane: line = "no pane"; break;
    }
    return line.append(nothing.windowShown ? ", the window is shown" : ", nothing changed");
}

std::string WatchStartedLine(const WatchStarted& started) {
    return "started: " + WidthFrom(started.width, started.widthFrom) + ", settling time " +
           std::to_string(started.settleMs) + " ms from " + std::string(SourceWords(started.settleFrom));
}

std::string_view WatchEndWords(WatchEnd end) {
    switch (end) {
        case WatchEnd::Stopped: return "stopped";
        case WatchEnd::StoppedFromIcon: return "stopped from its icon";
        case WatchEnd::SessionEnded: return "session ended";
        case WatchEnd::ClosedForUpdate: return "closed for an update";
    }
    return "ended";
}

std::string_view FailureLine(Failure failure) {
    return failure == Failure::WatchNotStarted ? "not started: the window events cannot be had"
                                               : "ended: internal failure";
}

}  // namespace kestrum
