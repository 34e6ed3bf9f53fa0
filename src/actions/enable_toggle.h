// Toggling a listed window between enabled and disabled.
#pragma once

#include "winsys/window_list.h"
#include "winsys/window_system.h"

namespace kestrum {

// Enables the window selected in `list` when it is disabled, and disables it
// when it is enabled; nothing when no entry is selected.
void ToggleSelectedWindow(WindowSystem& system, const WindowList& list);

}  // namespace kestrum
