// Form1's construction and the handlers of its lists and its button.
#include "ui/form1.h"

#include "actions/enable_toggle.h"
#include "discovery/pane_refresh.h"

namespace kestrum {

Form1::Form1(WindowSystem& system, MessageBoxes& boxes, FormSurface& surface)
    : system_(system), boxes_(boxes), surface_(surface) {
    for (ListIndex i = 0; i < 3; ++i) {
        surface_.List1(i).OnSelectionChange([this, i] { List1_Click(i); });
    }
}

void Form1::List1_Click(ListIndex index) {
    if (index != 0) return;  // only the visible list drives discovery
    List1(1).Clear();
    RefreshPanes(system_, List1(0), List1(2));
}

void Form1::List1_DblClick(ListIndex index) {
    if (index < 0 || index > 2) return;
    ToggleSelectedWindow(system_, List1(index));
}

ResetOutcome Form1::Command2_Click() { return ResetPaneWidth(system_, boxes_, List1(2), NewSize); }

}  // namespace kestrum
