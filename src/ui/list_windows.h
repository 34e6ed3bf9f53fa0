// How the form fills its window lists: List1(0) with the clients' main
// windows, List1(2) with the panes of the one selected. An enumeration's mode
// is the index of the list it fills.
#pragma once

#include <cstdint>
#include <string>

#include "discovery/window_list.h"
#include "winsys/window_system.h"

namespace kestrum {

inline constexpr std::int32_t kModeMainWindows = 0;
inline constexpr std::int32_t kModePanes = 2;

// Mode 0: every client into `list`; mode 2: every pane inside `handle`. Any
// other mode, or mode 2 with handle 0, lists nothing.
void ListWindows(WindowSystem& system, WindowList& list, std::int32_t mode, WindowHandle handle);

// Appends "<handle> # <class> # <title>" to `list`, with the handle as item
// value. A window that cannot be listed (memory running out on the way) is
// left out, and no other entry is touched.
void ListWindowsProc(WindowSystem& system, WindowList& list, WindowHandle h, const std::string& className);

}  // namespace kestrum
