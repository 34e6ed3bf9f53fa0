// The floor the watch's reaction is measured against: a bare program that
// hears other programs' windows the way kestrum.exe /watch does (the same
// out-of-context hook, the same events and flags, the same message loop)
// and only notes when a pane's creation reaches it. Nothing is looked at but
// the class of a created window, and only after the time is taken.
//
//   watch_floor.exe [/panes=N]
//
// Standard output, one JSON object a line, flushed:
//
//   {"frequency": <QueryPerformanceCounter ticks per second>}
//   {"ready": true}                         once the hook is in place
//   {"pane": <handle>, "heard": <counter>}  per "C/SIDE NavPane" created
//
// Handles are signed 32-bit numbers, as the timed client prints them; the counter is QueryPerformanceCounter's, which every process on the
// machine reads alike. Ends after N panes when /panes= is given (digits
// only), otherwise when it is ended from outside. Exit status 0, 1 when the
// hook cannot be had.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

long g_panesLeft = -1;

long long Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    const long long heard = Counter();
    if (event != EVENT_OBJECT_CREATE || window == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF) {
        return;
    }
    wchar_t name[64];
    if (GetClassNameW(window, name, 64) == 0 || std::wcscmp(name, L"C/SIDE NavPane") != 0) return;
    std::printf("{\"pane\": %ld, \"heard\": %lld}\r\n",
                static_cast<long>(static_cast<int>(reinterpret_cast<INT_PTR>(window))), heard);
    std::fflush(stdout);
    if (g_panesLeft > 0 && --g_panesLeft == 0) PostQuitMessage(0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* key = std::strstr(GetCommandLineA(), "/panes=");
    if (key != nullptr) g_panesLeft = std::atol(key + 7);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::printf("{\"frequency\": %lld}\r\n", frequency.QuadPart);

    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, Heard, 0, 0,
                                               WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (hook == nullptr) return 1;
    std::printf("{\"ready\": true}\r\n");
    std::fflush(stdout);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    return 0;
}
