// Finding the client's windows: its main windows and the panes inside one,
// by class, as Windows compares class names (ASCII letters in any case).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "winsys/window_system.h"

namespace kestrum {

inline constexpr std::string_view kClientClass = "C/SIDE Application";
inline constexpr std::string_view kPaneClass = "C/SIDE NavPane";

enum class WindowKind {
    Client,  // a client's main window: a top-level window of the client's class
    Pane,    // a navigation pane: a window of the pane's class
};

// What a window is, from its class; none for a window of any other class
// (or none at all). One call.
std::optional<WindowKind> KindOf(WindowSystem& system, WindowHandle window);

// Every window of `kind`, in enumeration order, each with its class name as
// the window manager gives it: the clients among the top-level windows, or
// the panes among the descendants of `within` (none for 0). One class read
// per window enumerated.
using FoundWindow = std::function<void(WindowHandle window, const std::string& className)>;
void FindWindows(WindowSystem& system, WindowKind kind, WindowHandle within, const FoundWindow& found);

std::vector<WindowHandle> FindClients(WindowSystem& system);
std::vector<WindowHandle> FindPanes(WindowSystem& system, WindowHandle client);

}  // namespace kestrum
