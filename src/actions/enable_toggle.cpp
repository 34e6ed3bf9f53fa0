#include "actions/enable_toggle.h"

namespace kestrum {

void ToggleEnabled(WindowSystem& system, WindowHandle window) {
    system.EnableWindow(window, !system.IsWindowEnabled(window));
}

}  // namespace kestrum
