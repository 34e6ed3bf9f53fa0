#include "actions/enable_toggle.h"

namespace kestrum {

ToggleOutcome ToggleEnabled(WindowSystem& system, WindowHandle window) {
    if (system.AskIfAnswering(window) == Reply::NoAnswer) return ToggleOutcome::NotAnswering;
    const bool enabled = system.IsWindowEnabled(window);
    system.EnableWindow(window, !enabled);
    return system.IsWindowEnabled(window) != enabled ? ToggleOutcome::Toggled
                                                      : ToggleOutcome::Unchanged;
}

}  // namespace kestrum
