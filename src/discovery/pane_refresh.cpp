#include "discovery/pane_refresh.h"

#include "discovery/window_discovery.h"

namespace kestrum {

void RefreshPanes(WindowSystem& system, const WindowList& clients, WindowList& panes) {
    panes.Clear();
    const ListIndex selected = clients.SelectedIndex();
    const WindowHandle client = selected == kNoEntry ? 0 : clients.ItemData(selected);
    ListWindows(system, panes, kModePanes, client);
}

}  // namespace kestrum
