// Setting the width of the first listed pane.
#pragma once

#include <cstdint>

#include "winsys/message_boxes.h"
#include "winsys/window_list.h"
#include "winsys/window_system.h"

namespace kestrum {

// What the pane width reset did.
enum class ResetOutcome {
    Moved,            // the first pane was given the width
    AlreadyThatWide,  // it had the width already; nothing moved
    NoPaneListed,     // the pane list is empty; reported
    PaneGone,         // the pane (or its parent) was gone by the reset; reported
};

inline bool ResetSucceeded(ResetOutcome outcome) {
    return outcome == ResetOutcome::Moved || outcome == ResetOutcome::AlreadyThatWide;
}

// Gives the first pane in `panes` the width, keeping its logical place and
// its height; an empty list or a pane gone by now is reported with a message
// box.
ResetOutcome ResetPaneWidth(WindowSystem& system, MessageBoxes& boxes, const WindowList& panes,
                            std::int16_t width);

}  // namespace kestrum
