// Rebuilding the pane list for the client selected in the client list.
#pragma once

#include "winsys/window_list.h"
#include "winsys/window_system.h"

namespace kestrum {

// Empties `panes` and fills it with the panes inside the client selected in
// `clients`; with no client selected it stays empty.
void RefreshPanes(WindowSystem& system, const WindowList& clients, WindowList& panes);

}  // namespace kestrum
