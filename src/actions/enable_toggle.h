// Toggling a window between enabled and disabled.
#pragma once

#include "winsys/window_system.h"

namespace kestrum {

enum class ToggleOutcome {
    Toggled,       // the window's state changed
    NotAnswering,  // the window does not answer; nothing was asked of it
    Unchanged,     // asked, but its state is what it was
};

// Enables the window when it is disabled and disables it when it is enabled,
// having asked first whether it answers: the change sends it messages, and a
// window that does not answer would hold the caller until it does. The state
// lives in the other window and is read afresh each time, and read back.
ToggleOutcome ToggleEnabled(WindowSystem& system, WindowHandle window);

}  // namespace kestrum
