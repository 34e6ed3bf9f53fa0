// Setting the width of a pane, and seeing that it took it.
#pragma once

#include <cstdint>

#include "winsys/clock.h"
#include "winsys/window_system.h"

namespace kestrum {

// What the pane width reset did.
enum class ResetOutcome {
    Moved,            // the pane was given the width, and was seen to have it
    AlreadyThatWide,  // it had the width already; nothing moved
    PaneGone,         // no pane was listed, or it (or its parent) was gone by the reset
    Refused,          // the window manager refused the move (higher rights)
    NotAnswering,     // not seen in time, and the client does not answer: the
                      // move waits in its queue until it does
    NotTaken,         // not seen in time although the client answers
};

inline bool ResetSucceeded(ResetOutcome outcome) {
    return outcome == ResetOutcome::Moved || outcome == ResetOutcome::AlreadyThatWide;
}

// Gives the pane the width, keeping its logical place and its height, then
// reads it back until it shows them: every 15 ms, for a second at most.
ResetOutcome ResetPaneWidth(WindowSystem& system, Clock& clock, WindowHandle pane,
                            std::int16_t width);

}  // namespace kestrum
