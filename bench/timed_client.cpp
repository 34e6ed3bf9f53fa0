// A client that opens and closes, timed: for the watch's measurements. Each
// opening makes a main window of class "C/SIDE Application", shows it, then
// makes its pane ("C/SIDE NavPane", 200 pixels wide, in the main window),
// notes the time just before asking for the pane and the time the pane first
// has the width being waited for (as its WM_WINDOWPOSCHANGED reports), and
// destroys the main window. Times are QueryPerformanceCounter's, which every
// process on the machine reads alike.
//
//   timed_client.exe [/openings=N] [/width=W] [/hold=MS] [/timeout=MS]
//                    [/gap=MS] [/waitfor=CLASS] [/userchanges=N]
//
//   /openings  how many (1 when not given)
//   /width     the width waited for (300)
//   /hold      an opening lasts at least this long from the pane's creation (0)
//   /timeout   an opening whose pane does not get the width ends this long
//              after the pane's creation (5000)
//   /gap       pause between an opening's end and the next (50)
//   /waitfor   first waits (30 s at most) for a top-level window of that
//              class, and then half a second more
//   /userchanges  once a pane has the width, the user drags its edge N
//              times (by turns to W + 70 and W + 110 wide), as Windows
//              reports a splitter's drag: the mouse captured by the main
//              window, the pane sized in 5 steps 20 ms apart, the capture
//              let go; each notes when the drag ended and when the user's
//              width kept in HKCU\Software\Kestrum (UserWidth) was next
//              written, waiting for it 5 s at most
//
// Wine 8 raises none of the capture's or location's events itself: the client
// raises them (NotifyWinEvent) as Windows would, the capture's start and end
// around a drag and a location change for each move or size of the pane,
// whoever made it.
//
// An opening whose pane got the width lasts at least 50 ms beyond that, so
// that whoever set it can see it done. Numbers are digits only.
//
// Standard output, one JSON object a line, flushed:
//
//   {"frequency": <counter ticks per second>}
//   {"opening": <n>, "pane": <handle>, "created": <counter>, "set": <counter, or null if never>}
//   {"change": <n>, "width": <W>, "changed": <counter>, "stored": <counter, or null if not within 5 s>}
//   {"end": <openings>, "set": <how many got the width>}
//
// Handles are signed 32-bit numbers. Exit status 0, 1 when the
// windows cannot be made, 3 when the window waited for did not come.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "winsys/win32/win32_window_system.h"

namespace {

constexpr wchar_t kClientClass[] = L"C/SIDE Application";
constexpr wchar_t kPaneClass[] = L"C/SIDE NavPane";
constexpr long long kLingerMs = 50;
constexpr int kDragSteps = 5;
constexpr long long kDragStepMs = 20;

long long g_frequency = 1;
HWND g_pane = nullptr;
int g_width = 300;
long long g_set = 0;

long long Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

long long Ticks(long long ms) { return ms * g_frequency / 1000; }

// The value of "/name=" on the command line, or `fallback`.
long Option(const char* name, long fallback) {
    const std::string key = std::string("/") + name + "=";
    const char* found = std::strstr(GetCommandLineA(), key.c_str());
    return found != nullptr ? std::atol(found + key.size()) : fallback;
}

LRESULT CALLBACK PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, window, OBJID_WINDOW, CHILDID_SELF);
    }
    if (message == WM_WINDOWPOSCHANGED && window == g_pane && g_set == 0) {
        const long long now = Counter();
        RECT rect;
        if (GetWindowRect(window, &rect) && rect.right - rect.left == g_width) g_set = now;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Handles messages until the counter reaches `until()`, which may change as
// messages come, or `event` (if given) is signalled: true then.
template <typename Until>
bool Pump(Until until, HANDLE event = nullptr) {
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const long long now = Counter();
        const long long end = until();
        if (now >= end) return false;
        const long long left = (end - now) * 1000 / g_frequency + 1;
        if (MsgWaitForMultipleObjectsEx(event != nullptr ? 1 : 0, &event, static_cast<DWORD>(left), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 && event != nullptr) {
            return true;
        }
    }
}

// The user drags the pane's edge until it is `width` wide; when the drag
// ended, and when the user's width was written next (0: not within 5 s).
std::pair<long long, long long> UserDrag(HWND main, HKEY kept, HANDLE written, int width) {
    RECT rect;
    GetWindowRect(g_pane, &rect);
    const int from = rect.right - rect.left;
    SetCapture(main);
    NotifyWinEvent(EVENT_SYSTEM_CAPTURESTART, main, OBJID_WINDOW, CHILDID_SELF);
    for (int step = 1; step <= kDragSteps; ++step) {
        const long long next = Counter() + Ticks(kDragStepMs);
        Pump([next] { return next; });
        SetWindowPos(g_pane, nullptr, 0, 0, from + (width - from) * step / kDragSteps, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RegNotifyChangeKeyValue(kept, FALSE, REG_NOTIFY_CHANGE_LAST_SET, written, TRUE);
    ReleaseCapture();
    NotifyWinEvent(EVENT_SYSTEM_CAPTUREEND, main, OBJID_WINDOW, CHILDID_SELF);
    const long long ended = Counter();
    const long long up = ended + Ticks(5000);
    return {ended, Pump([up] { return up; }, written) ? Counter() : 0};
}

bool WaitFor(const char* command) {
    const char* key = std::strstr(command, "/waitfor=");
    if (key == nullptr) return true;
    std::string name(key + 9);
    name = name.substr(0, name.find(' '));
    const std::wstring className(name.begin(), name.end());
    const ULONGLONG end = GetTickCount64() + 30'000;
    while (FindWindowW(className.c_str(), nullptr) == nullptr) {
        if (GetTickCount64() >= end) return false;
        Sleep(50);
    }
    Sleep(500);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const long openings = Option("openings", 1);
    g_width = static_cast<int>(Option("width", 300));
    const long long hold = Option("hold", 0);
    const long long timeout = Option("timeout", 5000);
    const long long gap = Option("gap", 50);
    const long userChanges = Option("userchanges", 0);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_frequency = frequency.QuadPart;
    std::printf("{\"frequency\": %lld}\r\n", g_frequency);
    std::fflush(stdout);

    WNDCLASSW windowClass{};
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kClientClass;
    if (!RegisterClassW(&windowClass)) return 1;
    windowClass.lpfnWndProc = PaneProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    windowClass.lpszClassName = kPaneClass;
    if (!RegisterClassW(&windowClass)) return 1;
    if (!WaitFor(GetCommandLineA())) return 3;

    long setCount = 0;
    for (long opening = 1; opening <= openings; ++opening) {
        const HWND main = CreateWindowExW(0, kClientClass, L"Timed client", WS_OVERLAPPEDWINDOW, 100, 100, 700,
                                          500, nullptr, nullptr, instance, nullptr);
        if (main == nullptr) return 1;
        ShowWindow(main, SW_SHOWNOACTIVATE);
        UpdateWindow(main);
        const long long shown = Counter();
        Pump([shown] { return shown; });

        g_set = 0;
        const long long created = Counter();
        g_pane = CreateWindowExW(0, kPaneClass, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 300, main,
                                 nullptr, instance, nullptr);
        if (g_pane == nullptr) return 1;
        // Until the width has come and the opening has lasted long enough,
        // or the time for it is up.
        Pump([&] {
            const long long up = created + Ticks(timeout);
            return g_set == 0 ? up : std::min(up, std::max(created + Ticks(hold), g_set + Ticks(kLingerMs)));
        });

        if (g_set != 0 && userChanges > 0) {
            HKEY kept = nullptr;
            const HANDLE written = CreateEventW(nullptr, FALSE, FALSE, nullptr);
            if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Kestrum", 0, nullptr, 0, KEY_NOTIFY, nullptr, &kept,
                                nullptr) != ERROR_SUCCESS || written == nullptr) {
                return 1;
            }
            for (long change = 1; change <= userChanges; ++change) {
                const int width = g_width + (change % 2 == 1 ? 70 : 110);
                const auto [changed, stored] = UserDrag(main, kept, written, width);
                const std::string storedText = stored != 0 ? std::to_string(stored) : "null";
                std::printf("{\"change\": %ld, \"width\": %d, \"changed\": %lld, \"stored\": %s}\r\n", change, width,
                            changed, storedText.c_str());
                std::fflush(stdout);
            }
            RegCloseKey(kept);
            CloseHandle(written);
        }
        const long handle = kestrum::win32::ToHandle(g_pane);
        const std::string set = g_set != 0 ? std::to_string(g_set) : "null";
        setCount += g_set != 0 ? 1 : 0;
        std::printf("{\"opening\": %ld, \"pane\": %ld, \"created\": %lld, \"set\": %s}\r\n", opening, handle,
                    created, set.c_str());
        std::fflush(stdout);
        g_pane = nullptr;
        DestroyWindow(main);
        const long long next = Counter() + Ticks(gap);
        Pump([next] { return next; });
    }
    std::printf("{\"end\": %ld, \"set\": %ld}\r\n", openings, setCount);
    std::fflush(stdout);
    return 0;
}
