#include "actions/enable_toggle.h"

namespace kestrum {

void ToggleSelectedWindow(WindowSystem& system, const WindowList& list) {
    const ListIndex selected = list.SelectedIndex();
    if (selected == kNoEntry) return;  // nothing chosen, nothing to toggle
    const WindowHandle window = list.ItemData(selected);
    // The state lives in the other window and is read afresh each time.
    system.EnableWindow(window, !system.IsWindowEnabled(window));
}

}  // namespace kestrum
