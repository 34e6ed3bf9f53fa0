// Finding windows by class and recording them in a window list.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "discovery/window_list.h"
#include "winsys/window_system.h"

namespace kestrum {

inline constexpr std::string_view kClientClass = "C/SIDE Application";
inline constexpr std::string_view kPaneClass = "C/SIDE NavPane";

// Enumeration modes; each equals the index of the main window's list it fills.
inline constexpr std::int32_t kModeMainWindows = 0;
inline constexpr std::int32_t kModePanes = 2;

// The client's windows by class, letter case aside as Windows compares class
// names: for a class name read already, and for a window (one call each).
bool IsClientClass(std::string_view className);
bool IsPaneClass(std::string_view className);
bool IsClient(WindowSystem& system, WindowHandle window);
bool IsPane(WindowSystem& system, WindowHandle window);
// Every client main window, in enumeration order.
std::vector<WindowHandle> FindClients(WindowSystem& system);
// Every pane inside `client`, in enumeration order; none for 0.
std::vector<WindowHandle> FindPanes(WindowSystem& system, WindowHandle client);

// mode 0: every top-level window, into `list` when of the client's class;
// mode 2: every descendant of `handle`, into `list` when of the pane's class.
// Any other mode, or mode 2 with handle 0, does nothing.
void ListWindows(WindowSystem& system, WindowList& list, std::int32_t mode, WindowHandle handle);

// The enumeration callback: appends "<handle> # <class> # <title>" with the
// handle as item value to `list` when the class is the one mode n looks for
// (letter case aside, as Windows compares class names). A window that cannot
// be listed is left out. Always returns 1, so the enumeration goes on over
// every window.
std::int32_t ListWindowsProc(WindowSystem& system, WindowList& list, WindowHandle h,
                             std::int32_t n);

}  // namespace kestrum
