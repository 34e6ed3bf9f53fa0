#include "log/log_lines.h"

namespace kestrum {

std::string ClientAndPane(WindowHandle client, std::string_view clientTitle, WindowHandle pane) {
    std::string text = "client " + std::to_string(client) + " \"";
    return text.append(clientTitle).append("\", pane ").append(std::to_string(pane));
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

}  // namespace kestrum
