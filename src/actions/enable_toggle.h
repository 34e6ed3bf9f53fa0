// Toggling a window between enabled and disabled.
#pragma once

#include "winsys/window_system.h"

namespace kestrum {

// Enables the window when it is disabled and disables it when it is enabled.
// The state lives in the other window and is read afresh each time.
void ToggleEnabled(WindowSystem& system, WindowHandle window);

}  // namespace kestrum
