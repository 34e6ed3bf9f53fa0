// Setting the width of the first listed pane.
#pragma once

#include <cstdint>

#include "winsys/window_system.h"

namespace kestrum {

// What the pane width reset did.
enum class ResetOutcome {
    Moved,            // the first pane was given the width
    AlreadyThatWide,  // it had the width already; nothing moved
    NoPaneListed,     // no pane was listed to reset
    PaneGone,         // the pane (or its parent) was gone by the reset
};

inline bool ResetSucceeded(ResetOutcome outcome) {
    return outcome == ResetOutcome::Moved || outcome == ResetOutcome::AlreadyThatWide;
}

// Gives the pane the width, keeping its logical place and its height.
ResetOutcome ResetPaneWidth(WindowSystem& system, WindowHandle pane, std::int16_t width);

}  // namespace kestrum
