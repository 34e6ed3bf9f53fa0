// The words the log tells things in, each written in one place: a client
// and its pane, what became of a width set, where a width came from, and the
// lines of the other things an unattended run and the watch tell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "actions/pane_width_reset.h"
#include "log/what_happened.h"
#include "startup/policies.h"
#include "winsys/window_system.h"

namespace kestrum {

// 'client 65552 "Orders", pane 65560'
std::string ClientAndPane(WindowHandle client, std::string_view clientTitle, WindowHandle pane);
// "set", "already that width", "gone", "refused", "not answering", "not taken".
std::string_view OutcomeWords(ResetOutcome outcome);
// 'client 65552 "Orders", pane 65560: 220 -> 300, set'
std::string ReportLine(const ResetReport& report, WindowHandle client, std::string_view clientTitle);
// "width 250 from the command line"
std::string WidthFrom(std::int16_t width, Source source);
// "no client found"; "several panes, nothing changed", "no pane, the window is shown"
std::string NothingChosenLine(const NothingChosen& nothing);
// "started: width 250 from the command line, settling time 500 ms from the command line"
std::string WatchStartedLine(const WatchStarted& started);
// "stopped", "stopped from its icon", "session ended", "closed for an update"
std::string_view WatchEndWords(WatchEnd end);
// "not started: the window events cannot be had", "ended: internal failure"
std::string_view FailureLine(Failure failure);

}  // namespace kestrum
