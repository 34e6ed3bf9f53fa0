// The desktop as the end-to-end tests look at it: windows of every process,
// their classes, texts and rectangles, and waiting with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_common.h"

namespace e2e {

inline constexpr wchar_t kClientClass[] = L"C/SIDE Application";
inline constexpr wchar_t kPaneClass[] = L"C/SIDE NavPane";

inline double Seconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls until done() holds or timeoutMs passes; returns done()'s last answer.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const double deadline = Seconds() + timeoutMs / 1000.0;
    while (!done()) {
        if (Seconds() > deadline) return done();
        Sleep(10);
    }
    return true;
}

inline std::string RectText(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

inline std::wstring ClassOf(HWND h) {
    wchar_t name[256] = L"";
    GetClassNameW(h, name, 256);
    return name;
}

// The text a window holds, asked of the window itself (edit fields and
// statics of other processes keep theirs in the control), with a timeout.
inline std::wstring TextOf(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

namespace detail {
struct WindowSearch {
    DWORD pid;  // 0: every process
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectWindow(HWND h, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (search.pid == 0 || owner == search.pid) search.found.push_back(h);
    return TRUE;
}
}  // namespace detail

// Top-level windows in the window manager's order; pid 0: of every process.
inline std::vector<HWND> TopLevelWindows(DWORD pid) {
    detail::WindowSearch search{pid, {}};
    EnumWindows(detail::CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::vector<HWND> Children(HWND parent) {
    detail::WindowSearch search{0, {}};
    EnumChildWindows(parent, detail::CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first pane inside a main window, as the window manager reports them.
inline HWND FirstPane(HWND mainWindow) {
    for (HWND h : Children(mainWindow)) {
        if (ClassOf(h) == kPaneClass) return h;
    }
    return nullptr;
}

inline RECT RectOf(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

inline LONG WidthOf(HWND h) {
    const RECT r = RectOf(h);
    return r.right - r.left;
}

inline POINT CenterOf(HWND h) {
    const RECT r = RectOf(h);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The client main windows on the desktop, in the window manager's order.
inline std::vector<HWND> ClientWindowsOnDesktop() {
    std::vector<HWND> found;
    for (HWND h : TopLevelWindows(0)) {
        if (ClassOf(h) == kClientClass) found.push_back(h);
    }
    return found;
}

// Where the first icon put into the notification area is: Wine's virtual
// desktop (the end-to-end desktop) draws the area at the right end of its
// taskbar, Shell_TrayWnd, without a window of its own per icon, the first
// icon rightmost (measured); none when there is no taskbar.
inline std::optional<POINT> FirstTrayIcon() {
    const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (taskbar == nullptr || !IsWindowVisible(taskbar)) return std::nullopt;
    const RECT r = RectOf(taskbar);
    const int icon = GetSystemMetrics(SM_CXSMICON) + 4;
    return POINT{r.right - icon / 2, (r.top + r.bottom) / 2};
}

// The window with the keyboard focus in the thread that owns `window`.
inline HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

}  // namespace e2e
