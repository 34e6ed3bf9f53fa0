// The words the log tells things in, each written in one place: a client
// and its pane, what became of a width set, and where a width came from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "actions/pane_width_reset.h"
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

}  // namespace kestrum
