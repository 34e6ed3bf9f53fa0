// Finding windows by class and recording them in the main window's lists.
#pragma once

#include <cstdint>
#include <string_view>

#include "winsys/window_system.h"

namespace kestrum {

class Form1;

inline constexpr std::string_view kClientClass = "C/SIDE Application";
inline constexpr std::string_view kPaneClass = "C/SIDE NavPane";

// Enumeration modes; each equals the index of the list it fills.
inline constexpr std::int32_t kModeMainWindows = 0;
inline constexpr std::int32_t kModeThreadWindows = 1;  // fills nothing (see ListWindows)
inline constexpr std::int32_t kModePanes = 2;

class Module1 {
public:
    Module1(WindowSystem& system, Form1& form) : system_(system), form_(form) {}

    // mode 0: every top-level window, into List1(0) when of the client's
    // class; mode 2: every descendant of `handle`, into List1(2) when of the
    // pane's class. Any other mode, or mode 2 with handle 0, does nothing.
    void ListWindows(std::int32_t mode, WindowHandle handle);

    // The enumeration callback: appends "<handle> # <class> # <title>" with the
    // handle as item value to List1(n) when the class matches. A window that
    // cannot be listed is left out. Always returns 1, so the enumeration goes
    // on over every window.
    std::int32_t ListWindowsProc(WindowHandle h, std::int32_t n);

private:
    // Lists one window; throws when that fails.
    void ListWindow(WindowHandle h, std::int32_t n);

    WindowSystem& system_;
    Form1& form_;
};

}  // namespace kestrum
