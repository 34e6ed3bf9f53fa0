// Toggling a listed window between enabled and disabled.
#include "ui/form1.h"

namespace kestrum {

void Form1::List1_DblClick(ListIndex index) {
    if (index < 0 || index > 2) return;
    const ListIndex selected = List1(index).SelectedIndex();
    if (selected == kNoEntry) return;  // nothing chosen, nothing to toggle
    const WindowHandle window = List1(index).ItemData(selected);
    // The state lives in the other window and is read afresh each time.
    system_.EnableWindow(window, !system_.IsWindowEnabled(window));
}

}  // namespace kestrum
