// What the run log is told: each thing an unattended run or the watch did or
// met, with the facts its line and its event carry.
#pragma once

#include <cstdint>
#include <string_view>

#include "actions/pane_width_reset.h"
#include "startup/policies.h"
#include "winsys/window_system.h"

namespace kestrum {

// How a pane's width reset ended, for the client that holds the pane.
struct PaneOutcome {
    WindowHandle client = 0;
    std::string_view title;  // the client's
    ResetReport report;
    std::int16_t width = 0;  // the width in force, and where it came from
    Source widthFrom = Source::Given;
};

// A client with several panes, left alone by the watch.
struct SeveralPanes {
    WindowHandle client = 0;
    std::string_view title;
    WindowHandle pane = 0;
};

// A policy value passed over, in the words of the start-up plan.
struct PolicyIgnored {
    std::string_view text;
};

// An unattended run that changed nothing: it found no client, or could not
// choose one pane and shows its window or, quiet, ends.
struct NothingChosen {
    enum class Why { NoClient, SeveralClients, SeveralPanes, NoPane };
    Why why = Why::NoClient;
    bool windowShown = false;
};

struct WatchStarted {
    std::int16_t width = 0;
    Source widthFrom = Source::Given;
    int settleMs = 0;
    Source settleFrom = Source::Given;
};

// How the watch ended, when it ended as asked.
enum class WatchEnd {
    Stopped,          // /stop
    StoppedFromIcon,  // "Exit" in the menu of its icon
    SessionEnded,     // a logoff, or the end of the system
    ClosedForUpdate,  // asked to close so that its files can be replaced
};

// A failure the run cannot go on from (it ends with status 3).
enum class Failure {
    WatchNotStarted,  // the watch cannot hear the window events
    WatchFailed,      // the watch, while it ran
    RunFailed,        // the window could not be made, or memory ran out
};

}  // namespace kestrum
