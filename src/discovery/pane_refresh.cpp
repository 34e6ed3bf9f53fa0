// Rebuilding the pane list whenever the selected client changes.
#include "ui/form1.h"

namespace kestrum {

void Form1::List1_Click(ListIndex index) {
    if (index != 0) return;  // only the visible list drives discovery
    List1(1).Clear();
    List1(2).Clear();
    const ListIndex selected = List1(0).SelectedIndex();
    const WindowHandle client = selected == kNoEntry ? 0 : List1(0).ItemData(selected);
    module1_.ListWindows(kModePanes, client);
}

}  // namespace kestrum
