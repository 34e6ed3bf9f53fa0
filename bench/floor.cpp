// The floor an unattended run is measured against: a bare program that makes
// only the window-manager calls an unattended run needs, and nothing else -
// no window of its own, no list, no text conversion. It enumerates the
// top-level windows and reads their classes, enumerates the one client's
// descendants for its first pane, reads the pane's rectangle, maps its corner
// into the parent's client area and moves it, with the same call and flags
// kestrum.exe uses; then, as kestrum.exe does, it reads the pane back until it
// shows the width with its place and height, for a second at most, sleeping
// 15 ms between looks.
//
//   floor.exe [/newsize=<width>] [/noconfirm]
//
// /newsize: 300 when not given; digits only. /noconfirm: no read-back, to
// see what confirming costs.
//
// Exit status: 0 when the pane has the width (or the move was asked, with
// /noconfirm), 1 when there was not exactly one client with a pane, 2 when
// the width was not seen within the second.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

struct Found {
    const char* className;
    HWND first = nullptr;
    int count = 0;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto& found = *reinterpret_cast<Found*>(param);
    char name[256];
    if (GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, found.className) == 0) {
        if (found.count++ == 0) found.first = window;
    }
    return TRUE;
}

int Width() {
    const char* key = std::strstr(GetCommandLineA(), "/newsize=");
    return key != nullptr ? std::atoi(key + 9) : 300;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const int width = Width();
    Found clients{"C/SIDE Application"};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&clients));
    if (clients.count != 1) return 1;
    Found panes{"C/SIDE NavPane"};
    EnumChildWindows(clients.first, Match, reinterpret_cast<LPARAM>(&panes));
    if (panes.count == 0) return 1;

    RECT rect;
    if (!GetWindowRect(panes.first, &rect)) return 1;
    if (rect.right - rect.left == width) return 0;
    POINT place{rect.left, rect.top};
    MapWindowPoints(nullptr, GetAncestor(panes.first, GA_PARENT), &place, 1);
    SetWindowPos(panes.first, nullptr, place.x, place.y, width, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    if (std::strstr(GetCommandLineA(), "/noconfirm") != nullptr) return 0;

    const ULONGLONG end = GetTickCount64() + 1000;
    for (;;) {
        RECT now;
        if (!GetWindowRect(panes.first, &now)) return 1;
        if (now.left == rect.left && now.top == rect.top && now.right - now.left == width &&
            now.bottom - now.top == rect.bottom - rect.top) {
            return 0;
        }
        if (GetTickCount64() >= end) return 2;
        MsgWaitForMultipleObjectsEx(0, nullptr, 15, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
