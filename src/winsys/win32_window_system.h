// WindowSystem over user32, for the Windows build.
#pragma once

#include <windows.h>

#include "winsys/window_system.h"

namespace kestrum::win32 {

// A handle as Kestrum stores it, and back: the value unchanged (handles are
// 32 bits wide in this 32-bit program).
WindowHandle ToHandle(HWND window);
HWND ToHwnd(WindowHandle window);

class Win32WindowSystem final : public WindowSystem {
public:
    bool EnumerateTopLevelWindows(const EnumProc& proc, std::int32_t value) override;
    bool EnumerateDescendants(WindowHandle parent, const EnumProc& proc,
                              std::int32_t value) override;

    // An upper bound in UTF-8 bytes: three per ANSI byte.
    std::int32_t WindowTextLength(WindowHandle window) override;
    std::int32_t ReadWindowText(WindowHandle window, std::span<char> buffer) override;
    std::int32_t ReadClassName(WindowHandle window, std::span<char> buffer) override;

    bool ReadWindowRect(WindowHandle window, Rect& rect) override;
    WindowHandle ParentOf(WindowHandle window) override;
    bool MapRectToClient(WindowHandle window, Rect& rect) override;

    // Asynchronous for windows of other threads: a client that has stopped
    // answering never blocks Kestrum.
    bool MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height) override;
    bool IsWindowEnabled(WindowHandle window) override;
    void EnableWindow(WindowHandle window, bool enable) override;
};

}  // namespace kestrum::win32
