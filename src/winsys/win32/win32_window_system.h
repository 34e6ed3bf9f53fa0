// WindowSystem over user32, for the Windows build.
#pragma once

#include <windows.h>

#include "winsys/window_system.h"

namespace kestrum::win32 {

// A handle as Kestrum stores it, and back: the value unchanged. Window
// handles are 32-bit values in 64-bit Windows too (the same window has the
// same handle in 32- and 64-bit processes, which only works because the upper
// half is the low half's sign extension), so 32 bits lose nothing.
WindowHandle ToHandle(HWND window);
HWND ToHwnd(WindowHandle window);

// A window's text, UTF-8: what WindowText answers, for a window of any
// process (the program's own controls included).
std::string TextOf(HWND window);

class Win32WindowSystem final : public WindowSystem {
public:
    bool EnumerateTopLevelWindows(const WindowVisitor& visit) override;
    bool EnumerateDescendants(WindowHandle parent, const WindowVisitor& visit) override;

    // Read in UTF-16 (any script, whatever the system code page), rooms
    // counted in UTF-16 units, and converted.
    std::string ClassName(WindowHandle window) override;
    std::string WindowText(WindowHandle window) override;

    // Read, mapped and moved in the window's own DPI awareness where Windows
    // has one per window (10, 1607 and later): its pixels as they are, on a
    // scaled display too.
    bool ReadWindowRect(WindowHandle window, Rect& rect) override;
    WindowHandle ParentOf(WindowHandle window) override;
    WindowHandle RootOf(WindowHandle window) override;
    bool IsWindow(WindowHandle window) override;
    std::uint32_t ThreadOf(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    bool IsMinimized(WindowHandle window) override;
    bool MapRectToClient(WindowHandle window, Rect& rect) override;
    std::int32_t FromUnawarePixels(WindowHandle window, std::int32_t length) override;
    std::int32_t ToUnawarePixels(WindowHandle window, std::int32_t length) override;

    // Posted to windows of other threads (SWP_ASYNCWINDOWPOS).
    MoveResult MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height) override;
    bool IsWindowEnabled(WindowHandle window) override;
    // EnableWindow waits for the window's thread to handle the change: it
    // is made on a short-lived thread of its own, which nothing waits for
    // (one that is still waiting when the program ends goes with it).
    void RequestEnable(WindowHandle window, bool enable) override;
    // SendMessageCallbackW with WM_NULL: the answer comes through this
    // thread's message loop.
    std::unique_ptr<AnswerProbe> ProbeAnswering(WindowHandle window) override;
    // Elevated: its token says so (TokenElevation), or keeps itself from
    // this program while its process does not (a process elevated by the
    // same user). Another account: its process keeps itself from this
    // program (another user's), or its token names another user.
    Rights RightsOf(WindowHandle window) override;
};

}  // namespace kestrum::win32
