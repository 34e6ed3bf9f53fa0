// The stand-in client: plays a running client on the desktop, so that Kestrum
// can be run against real windows. One process holds every main window asked
// for.
//
// Command line:
//
//   standin_client.exe [--window TITLE [--place X,Y,W,H] [--mirrored] [--minimized MS]
//                       [--pane D,X,Y,W,H]... [--hidden-panes N]]... [--exit-after MS]
//                      [--no-stdin] [--no-events]
//
//   --window TITLE    a top-level window of class "C/SIDE Application" titled
//                     TITLE (may be empty, non-ASCII or long)
//   --place X,Y,W,H   the last window's place and size on the screen
//                     (default: cascaded, 560 x 420)
//   --mirrored        the last window is laid out right to left, as a client
//                     localised for a right-to-left language: x in its client
//                     area runs from the right, and its frames and panes take
//                     on the layout as child windows do
//   --minimized MS    the last window starts minimized and is restored after
//                     MS milliseconds (laying its panes out again, below)
//   --pane D,X,Y,W,H  a window of class "C/SIDE NavPane" in the last window,
//                     inside D nested framed parents (0: a direct child of the
//                     main window); X,Y in its parent's client coordinates
//   --splitter        the last pane gets a splitter: a bar 6 pixels wide at
//                     its right edge, as tall as the pane, that the user drags
//                     (the mouse captured from button down to button up) to
//                     give the pane another width, as a client's own does
//                     (not in a mirrored window)
//   --hidden-panes N  N more panes in the last window, never shown (10 x 10,
//                     at its client area's corner); not reported
//   --exit-after MS   ends by itself after MS milliseconds
//   --no-stdin        reads no commands; ends on --exit-after or when its
//                     windows are closed (for use from a shell)
//   --no-events       raises none of the window events below: only those Wine
//                     raises itself (creation, focus) are left
//
// Window events: Wine 8 raises none of these itself, so the client raises
// them as Windows would (NotifyWinEvent, OBJID_WINDOW, CHILDID_SELF), for
// any of its windows (main windows, frames, panes, splitters):
//   EVENT_OBJECT_LOCATIONCHANGE  each move or size, whoever made it (from the
//                                window procedure, on WM_WINDOWPOSCHANGED)
//   EVENT_OBJECT_SHOW / HIDE     a window shown or hidden (the same)
//   EVENT_SYSTEM_CAPTURESTART / CAPTUREEND  the mouse captured and let go,
//                                for the window holding the capture (the
//                                splitter's drag, the frame's)
//   EVENT_SYSTEM_MOVESIZESTART / MOVESIZEEND  around the frame's drag
//   EVENT_SYSTEM_MINIMIZESTART / MINIMIZEEND  a main window minimized and
//                                restored
//
// Standard output, one line each, flushed:
//
//   window <handle> <process id>                        per main window
//   pane <handle> in <main window handle> parent <handle>  per pane
//   splitter <handle> beside <pane handle>               per splitter
//   ready                                                once all are shown
//
// Commands on standard input, one a line (end of input ends the client):
//
//   report   prints "window <handle> enabled <0|1>" per main window, then
//            "pane <handle> screen <l> <t> <r> <b> client <l> <t> <r> <b>
//            moves <n>" per pane (client: in its parent's client coordinates;
//            moves: position changes asked of the pane since ready), then "end"
//   hang MS  prints "hanging", stops pumping messages for MS ms, then prints
//            "awake"
//   hang-once-asked MS  prints "armed"; the next "are you there" (WM_NULL)
//            sent to a main window is answered, and then the client hangs
//            as for "hang MS"
//   find CAPTION   prints "found <handle> <l> <t> <r> <b>" for a visible
//                  top-level window of any process with that caption, or "none"
//   close CAPTION  asks that window to close, as its close box would; prints
//                  "closed <handle>" or "none"
//   destroy HANDLE destroys that pane, as the client would when it drops it;
//                  prints "destroyed <handle>" or "none"
//   replace HANDLE destroys that pane and makes a new one in its place (the
//                  report lists the new one instead); prints "replaced
//                  <old handle> <new handle>" or "none"
//   relayout HANDLE W  the client lays that pane out again by itself, W
//                  wide (1 to 32767), no capture; prints "relaid out
//                  <handle> <W>"
//   nudge HANDLE   the pane one pixel wider, no capture (a round trip
//                  through a display's scale); prints "nudged <handle>
//                  <width>"
//   frame-drag W   the user drags the first main window's right frame edge
//                  until the window is W wide (1 to 32767), in 8 steps 30 ms
//                  apart, the main window holding the capture throughout
//                  (its panes kept in view on the way, below); prints
//                  "frame dragged <handle> <width reached>"
//   minimize       the first main window minimized; prints "minimized
//                  <handle>"
//   restore        the first main window restored; prints "restored
//                  <handle>"
//   pointer-moves N  the mouse pointer moved N times (1 to 100000) across
//                  the first main window's client area, at its first pane's
//                  middle height, and reported as Windows reports it: an
//                  EVENT_OBJECT_LOCATIONCHANGE of OBJID_CURSOR for each
//                  move, and an EVENT_OBJECT_NAMECHANGE of it when its
//                  shape changes (over a splitter and off it); Windows
//                  names no window for the pointer, but Wine 8 passes on
//                  no event without one, so the window under the pointer
//                  is named; prints "pointer moved <N>"
//   focus-cycle N  the keyboard focus moved N times (1 to 100000) by turns
//                  to the first main window's first pane and back to the
//                  window (Wine raises EVENT_OBJECT_FOCUS for these itself);
//                  prints "focus moved <N>"
//   quit     closes its windows, prints a last report and ends
//
// A command about a pane, window or number it cannot use prints "none".
//
// As a client does: a pane takes the keyboard focus when it is clicked (a
// tree of pages); a main window restored from minimized lays its panes out
// again, each back at the place and size it was made with; a main window
// otherwise resized keeps its panes in its client area, narrowing one that
// would stick out.
//
// Handles are printed as signed 32-bit decimals; lines end in CR LF. The exit
// status is 0, 1 when the windows cannot be made, 2 for a command line it
// cannot read.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "e2e_common.h"

namespace {

constexpr wchar_t kClientClass[] = L"C/SIDE Application";
constexpr wchar_t kPaneClass[] = L"C/SIDE NavPane";
constexpr wchar_t kFrameClass[] = L"StandinFrame";
constexpr wchar_t kSplitterClass[] = L"StandinSplitter";
constexpr int kSplitterWidth = 6;
constexpr UINT kCommandMessage = WM_APP + 1;  // thread message, lParam: std::string*
constexpr UINT kHangMessage = WM_APP + 2;     // to a main window, wParam: milliseconds
constexpr UINT_PTR kExitTimer = 1;
constexpr UINT_PTR kRestoreTimer = 2;  // on a main window
constexpr wchar_t kMinimizedProp[] = L"StandinMinimized";  // on a main window while minimized
constexpr int kDragSteps = 8;
constexpr DWORD kDragStepMs = 30;
constexpr long kMostTimes = 100000;  // pointer moves or focus changes a command asks for

struct PaneLayout {
    int depth = 0;
    RECT place{};  // left, top, width, height
    bool splitter = false;
};

struct ClientLayout {
    std::wstring title;
    bool placed = false;
    RECT place{};  // left, top, width, height
    std::vector<PaneLayout> panes;
    bool mirrored = false;
    long minimizedMs = 0;  // 0: shown as usual
    long hiddenPanes = 0;
};

struct Pane {
    HWND handle = nullptr;
    HWND mainWindow = nullptr;
    long moves = 0;
    RECT place{};  // as made: left, top, width, height in its parent
    HWND splitter = nullptr;
};

std::vector<HWND> g_windows;
std::vector<Pane> g_panes;
bool g_counting = false;
bool g_events = true;  // --no-events: false
long g_hangOnceAskedMs = 0;

// A handle as printed.
long Id(HWND h) { return static_cast<long>(e2e::HandleValue(h)); }

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
}

bool ReadFour(const wchar_t* text, RECT& out) {
    long v[4];
    const wchar_t* p = text;
    for (int i = 0; i < 4; ++i) {
        wchar_t* end = nullptr;
        v[i] = std::wcstol(p, &end, 10);
        if (end == p || (i < 3 && *end != L',') || (i == 3 && *end != L'\0')) return false;
        p = end + 1;
    }
    out = RECT{v[0], v[1], v[2], v[3]};
    return true;
}

bool ReadPane(const wchar_t* text, PaneLayout& out) {
    wchar_t* end = nullptr;
    const long depth = std::wcstol(text, &end, 10);
    if (end == text || *end != L',' || depth < 0 || depth > 20) return false;
    out.depth = static_cast<int>(depth);
    return ReadFour(end + 1, out.place);
}

// Raises `event` for `object` of `window`, as Windows would, unless
// --no-events.
void Raise(DWORD event, HWND window, LONG object = OBJID_WINDOW) {
    if (g_events) NotifyWinEvent(event, window, object, CHILDID_SELF);
}

// Whether a WM_WINDOWPOSCHANGING or -CHANGED message's WINDOWPOS moves or
// sizes the window.
bool MovesOrSizes(LPARAM lp) {
    return (reinterpret_cast<const WINDOWPOS*>(lp)->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE);
}

// What user32 raises for a window's own messages: its moves and sizes, its
// showing and hiding, the capture it loses. Every window procedure calls it.
void Herald(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_WINDOWPOSCHANGED) {
        const UINT flags = reinterpret_cast<const WINDOWPOS*>(lp)->flags;
        if (MovesOrSizes(lp)) Raise(EVENT_OBJECT_LOCATIONCHANGE, hwnd);
        if (flags & SWP_SHOWWINDOW) Raise(EVENT_OBJECT_SHOW, hwnd);
        if (flags & SWP_HIDEWINDOW) Raise(EVENT_OBJECT_HIDE, hwnd);
    } else if (msg == WM_CAPTURECHANGED) {
        Raise(EVENT_SYSTEM_CAPTUREEND, hwnd);
    }
}

void TakeCapture(HWND hwnd) {
    SetCapture(hwnd);
    Raise(EVENT_SYSTEM_CAPTURESTART, hwnd);
}

// Handles the windows' messages, not the commands, for `ms` milliseconds.
void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (ULONGLONG now; (now = GetTickCount64()) < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, kCommandMessage - 1, PM_REMOVE) ||
               PeekMessageW(&msg, nullptr, kCommandMessage + 1, ~0u, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// A pane's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND pane) {
    RECT r{};
    GetWindowRect(pane, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(pane), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The splitter at its pane's right edge, as tall as the pane.
void PlaceSplitter(const Pane& pane) {
    const RECT r = PlaceOf(pane.handle);
    SetWindowPos(pane.splitter, nullptr, r.right, r.top, kSplitterWidth, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Herald(hwnd, msg, lp);
    if (msg == WM_WINDOWPOSCHANGING && g_counting && MovesOrSizes(lp)) {
        for (Pane& p : g_panes) {
            if (p.handle == hwnd) ++p.moves;
        }
    } else if (msg == WM_WINDOWPOSCHANGED) {
        for (const Pane& p : g_panes) {
            if (p.handle == hwnd && p.splitter != nullptr) PlaceSplitter(p);
        }
    } else if (msg == WM_LBUTTONDOWN) {
        SetFocus(hwnd);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The splitter's pane (GWLP_USERDATA) takes the width from its left edge to
// where the bar is dragged, the bar held where it was grabbed.
LRESULT CALLBACK SplitterProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static LONG grabbedAt = 0;  // from the bar's left edge
    const auto pane = reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    Herald(hwnd, msg, lp);
    switch (msg) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
            return TRUE;
        case WM_LBUTTONDOWN:
            grabbedAt = static_cast<short>(LOWORD(lp));
            TakeCapture(hwnd);
            return 0;
        case WM_MOUSEMOVE:
            if (GetCapture() == hwnd && pane != nullptr) {
                POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                MapWindowPoints(hwnd, GetParent(pane), &at, 1);
                const RECT place = PlaceOf(pane);
                const LONG width = at.x - grabbedAt - place.left;
                SetWindowPos(pane, nullptr, 0, 0, width > 1 ? width : 1, place.bottom - place.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd) ReleaseCapture();
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

void Hang(long ms) {
    Print("hanging\n");
    Sleep(static_cast<DWORD>(ms > 0 ? ms : 0));
    Print("awake\n");
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Herald(hwnd, msg, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Each pane of main window `window` narrowed to fit its client area, as a
// client keeps its panes in view.
void ClampPanes(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);  // mirrored: left > right
    const LONG areaLeft = std::min(area.left, area.right), areaRight = std::max(area.left, area.right);
    for (const Pane& p : g_panes) {
        RECT r{};
        if (p.mainWindow != window || !GetWindowRect(p.handle, &r)) continue;
        const LONG over = std::max(0L, r.right - areaRight) + std::max(0L, areaLeft - r.left);
        if (over > 0) {
            SetWindowPos(p.handle, nullptr, 0, 0, std::max(1L, r.right - r.left - over), r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

LRESULT CALLBACK ClientProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Herald(hwnd, msg, lp);
    if (msg == WM_NULL && g_hangOnceAskedMs > 0) {
        // Answered first: the hang comes with the next message.
        PostMessageW(hwnd, kHangMessage, static_cast<WPARAM>(std::exchange(g_hangOnceAskedMs, 0)), 0);
        return 0;
    }
    if (msg == kHangMessage) {
        Hang(static_cast<long>(wp));
        return 0;
    }
    if (msg == WM_TIMER && wp == kRestoreTimer) {
        KillTimer(hwnd, kRestoreTimer);
        ShowWindow(hwnd, SW_RESTORE);
        return 0;
    }
    if (msg == WM_SIZE) {
        const bool wasMinimized = GetPropW(hwnd, kMinimizedProp) != nullptr;
        if (wp == SIZE_MINIMIZED && !wasMinimized) {
            SetPropW(hwnd, kMinimizedProp, hwnd);
            Raise(EVENT_SYSTEM_MINIMIZESTART, hwnd);
        } else if (wp != SIZE_MINIMIZED && !wasMinimized) {
            ClampPanes(hwnd);
        } else if (wp != SIZE_MINIMIZED) {
            // Restored: the panes laid out again, as made.
            RemovePropW(hwnd, kMinimizedProp);
            for (const Pane& p : g_panes) {
                if (p.mainWindow == hwnd) {
                    SetWindowPos(p.handle, nullptr, p.place.left, p.place.top, p.place.right, p.place.bottom,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
                }
            }
            Raise(EVENT_SYSTEM_MINIMIZEEND, hwnd);
        }
    }
    if (msg == WM_DESTROY) {
        bool anyLeft = false;
        for (HWND w : g_windows) anyLeft = anyLeft || (w != hwnd && IsWindow(w));
        if (!anyLeft) PostQuitMessage(0);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool RegisterClasses(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));

    wc.lpfnWndProc = ClientProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClientClass;
    if (!RegisterClassW(&wc)) return false;

    wc.lpfnWndProc = FrameProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    if (!RegisterClassW(&wc)) return false;

    wc.lpfnWndProc = SplitterProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DSHADOW + 1);
    wc.lpszClassName = kSplitterClass;
    if (!RegisterClassW(&wc)) return false;

    wc.lpfnWndProc = PaneProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    wc.lpszClassName = kPaneClass;
    return RegisterClassW(&wc) != 0;
}

// A pane at `place` (left, top, width, height) in `parent`'s client area.
HWND MakePane(HWND parent, const RECT& place) {
    return CreateWindowExW(0, kPaneClass, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, place.left,
                           place.top, place.right, place.bottom, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

bool CreateLayout(const std::vector<ClientLayout>& layouts, HINSTANCE instance) {
    int cascade = 0;
    for (const ClientLayout& layout : layouts) {
        RECT place = layout.placed ? layout.place : RECT{40 + 30 * cascade, 40 + 30 * cascade, 560, 420};
        ++cascade;
        HWND window = CreateWindowExW(layout.mirrored ? WS_EX_LAYOUTRTL : 0, kClientClass,
                                      layout.title.c_str(), WS_OVERLAPPEDWINDOW,
                                      place.left, place.top, place.right, place.bottom, nullptr,
                                      nullptr, instance, nullptr);
        if (!window) return false;
        g_windows.push_back(window);
        Print("window %ld %lu\n", Id(window), GetCurrentProcessId());

        for (const PaneLayout& pane : layout.panes) {
            // Each framed parent sits 10 pixels inside the client area of the
            // one around it, with a caption and border of its own, so that a
            // window's place and its client origin differ at every level.
            HWND parent = window;
            for (int level = 0; level < pane.depth; ++level) {
                RECT area{};
                GetClientRect(parent, &area);
                parent = CreateWindowExW(0, kFrameClass, L"frame",
                                         WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_CLIPSIBLINGS, 10,
                                         10, area.right - 20, area.bottom - 20, parent, nullptr,
                                         instance, nullptr);
                if (!parent) return false;
            }
            HWND h = MakePane(parent, pane.place);
            if (!h) return false;
            g_panes.push_back(Pane{h, window, 0, pane.place, nullptr});
            Print("pane %ld in %ld parent %ld\n", Id(h), Id(window), Id(parent));
            if (pane.splitter) {
                Pane& made = g_panes.back();
                made.splitter = CreateWindowExW(0, kSplitterClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                                                nullptr, instance, nullptr);
                if (!made.splitter) return false;
                SetWindowLongPtrW(made.splitter, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(h));
                PlaceSplitter(made);
                Print("splitter %ld beside %ld\n", Id(made.splitter), Id(h));
            }
        }
        for (long i = 0; i < layout.hiddenPanes; ++i) {
            if (!CreateWindowExW(0, kPaneClass, L"", WS_CHILD, 0, 0, 10, 10, window, nullptr, instance, nullptr)) {
                return false;
            }
        }
        if (layout.minimizedMs > 0) {
            ShowWindow(window, SW_SHOWMINNOACTIVE);
            SetTimer(window, kRestoreTimer, static_cast<UINT>(layout.minimizedMs), nullptr);
        } else {
            ShowWindow(window, SW_SHOWNOACTIVATE);
        }
        UpdateWindow(window);
    }
    return true;
}

void Report() {
    for (HWND w : g_windows) {
        Print("window %ld enabled %d\n", Id(w), IsWindowEnabled(w) ? 1 : 0);
    }
    for (const Pane& p : g_panes) {
        RECT screen{};
        GetWindowRect(p.handle, &screen);
        RECT client = screen;
        MapWindowPoints(HWND_DESKTOP, GetParent(p.handle), reinterpret_cast<POINT*>(&client), 2);
        Print("pane %ld screen %ld %ld %ld %ld client %ld %ld %ld %ld moves %ld\n",
              Id(p.handle), screen.left, screen.top, screen.right, screen.bottom, client.left,
              client.top, client.right, client.bottom, p.moves);
    }
    Print("end\n");
}

// Reads commands from standard input and hands them to the window thread.
DWORD WINAPI ReadCommands(LPVOID param) {
    const DWORD windowThread = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(param));
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        auto command = std::make_unique<std::string>(line);
        while (!command->empty() && (command->back() == '\n' || command->back() == '\r'))
            command->pop_back();
        if (PostThreadMessageW(windowThread, kCommandMessage, 0,
                               reinterpret_cast<LPARAM>(command.get())))
            command.release();
    }
    auto quit = std::make_unique<std::string>("quit");
    if (PostThreadMessageW(windowThread, kCommandMessage, 0, reinterpret_cast<LPARAM>(quit.get())))
        quit.release();
    return 0;
}

HWND VisibleWindowCalled(const std::string& caption) {
    const std::wstring wanted = e2e::Utf8ToWide(caption);
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        wchar_t text[512] = L"";
        GetWindowTextW(h, text, 512);
        if (wanted == text && IsWindowVisible(h)) return h;
    }
    return nullptr;
}

// `text` as a whole number from `least` to `most`, with nothing after it.
bool ReadNumber(const std::string& text, long least, long most, long& out) {
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' && out >= least && out <= most;
}

// The pane whose handle `text` holds, if it is one of ours and still there.
Pane* PaneNamed(const std::string& text) {
    const HWND h = e2e::HandleFromValue(std::strtoll(text.c_str(), nullptr, 10));
    for (Pane& p : g_panes) {
        if (p.handle == h && IsWindow(h)) return &p;
    }
    return nullptr;
}

HWND FirstWindow() { return !g_windows.empty() && IsWindow(g_windows.front()) ? g_windows.front() : nullptr; }

const Pane* FirstPaneOf(HWND window) {
    for (const Pane& p : g_panes) {
        if (window != nullptr && p.mainWindow == window && IsWindow(p.handle)) return &p;
    }
    return nullptr;
}

LONG WidthOf(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r.right - r.left;
}

// The pane `width` wide by the client's own doing, its place and height kept.
void SetWidth(HWND pane, LONG width) {
    RECT r{};
    GetWindowRect(pane, &r);
    SetWindowPos(pane, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The user drags `window`'s right frame edge until it is `width` wide, as the
// system's move and size loop does; returns the width reached.
LONG DragFrame(HWND window, LONG width) {
    RECT r{};
    GetWindowRect(window, &r);
    const LONG from = r.right - r.left;
    TakeCapture(window);
    Raise(EVENT_SYSTEM_MOVESIZESTART, window);
    Pump(kDragStepMs);
    for (int step = 1; step <= kDragSteps; ++step) {
        SetWindowPos(window, nullptr, 0, 0, from + (width - from) * step / kDragSteps, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump(kDragStepMs);
    }
    Raise(EVENT_SYSTEM_MOVESIZEEND, window);
    ReleaseCapture();
    return WidthOf(window);
}

// The mouse pointer moved `times` times across `window`'s client area, at
// its first pane's middle height, as Windows reports it (but with the window
// under it, see the top): its name, its shape's, changes over a splitter.
void MovePointer(HWND window, long times) {
    RECT area{}, pane{};
    GetClientRect(window, &area);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
    const Pane* first = FirstPaneOf(window);
    const LONG y = first != nullptr && GetWindowRect(first->handle, &pane) ? (pane.top + pane.bottom) / 2
                                                                           : (area.top + area.bottom) / 2;
    const LONG left = std::min(area.left, area.right), span = std::max(1L, std::abs(area.right - area.left));
    bool sizing = false;
    for (long i = 0; i < times; ++i) {
        const POINT at{left + i % span, y};
        SetCursorPos(at.x, at.y);
        const HWND under = WindowFromPoint(at);
        Raise(EVENT_OBJECT_LOCATIONCHANGE, under, OBJID_CURSOR);
        wchar_t name[32] = L"";
        GetClassNameW(under, name, 32);
        if ((std::wcscmp(name, kSplitterClass) == 0) != sizing) {
            sizing = !sizing;
            Raise(EVENT_OBJECT_NAMECHANGE, under, OBJID_CURSOR);
        }
    }
}

// The first main window shown as `how` asks; prints "<done> <handle>".
bool ShowFirst(int how, const char* done) {
    const HWND window = FirstWindow();
    if (window == nullptr) return false;
    ShowWindow(window, how);
    Print("%s %ld\n", done, Id(window));
    return true;
}

// The commands (see the top) but quit, each given what follows its name;
// false for one it cannot do.
struct Command {
    const char* name;
    bool (*run)(const std::string& arg);
};
const Command kCommands[] = {
    {"report", [](const std::string&) { return Report(), true; }},
    {"hang", [](const std::string& ms) { return Hang(std::strtol(ms.c_str(), nullptr, 10)), true; }},
    {"hang-once-asked",
     [](const std::string& ms) {
         g_hangOnceAskedMs = std::strtol(ms.c_str(), nullptr, 10);
         Print("armed\n");
         return true;
     }},
    {"find",
     [](const std::string& caption) {
         const HWND h = VisibleWindowCalled(caption);
         RECT r{};
         if (h == nullptr || !GetWindowRect(h, &r)) return false;
         Print("found %ld %ld %ld %ld %ld\n", Id(h), r.left, r.top, r.right, r.bottom);
         return true;
     }},
    {"close",
     [](const std::string& caption) {
         const HWND h = VisibleWindowCalled(caption);
         if (h == nullptr) return false;
         PostMessageW(h, WM_CLOSE, 0, 0);
         Print("closed %ld\n", Id(h));
         return true;
     }},
    {"destroy",
     [](const std::string& handle) {
         const Pane* pane = PaneNamed(handle);
         if (pane == nullptr || !DestroyWindow(pane->handle)) return false;
         Print("destroyed %ld\n", Id(pane->handle));
         return true;
     }},
    {"replace",
     [](const std::string& handle) {
         Pane* pane = PaneNamed(handle);
         if (pane == nullptr) return false;
         const HWND old = pane->handle, parent = GetParent(old);
         const RECT r = PlaceOf(old);
         DestroyWindow(old);
         pane->handle = MakePane(parent, RECT{r.left, r.top, r.right - r.left, r.bottom - r.top});
         pane->moves = 0;
         if (pane->splitter != nullptr)
             SetWindowLongPtrW(pane->splitter, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pane->handle));
         Print("replaced %ld %ld\n", Id(old), Id(pane->handle));
         return true;
     }},
    {"relayout",
     [](const std::string& arg) {
         const std::size_t space = arg.find(' ');
         const Pane* pane = PaneNamed(arg.substr(0, space));
         long n = 0;
         if (pane == nullptr || space == std::string::npos || !ReadNumber(arg.substr(space + 1), 1, 32767, n))
             return false;
         SetWidth(pane->handle, n);
         Print("relaid out %ld %ld\n", Id(pane->handle), n);
         return true;
     }},
    {"nudge",
     [](const std::string& handle) {
         const Pane* pane = PaneNamed(handle);
         if (pane == nullptr) return false;
         SetWidth(pane->handle, WidthOf(pane->handle) + 1);
         Print("nudged %ld %ld\n", Id(pane->handle), WidthOf(pane->handle));
         return true;
     }},
    {"frame-drag",
     [](const std::string& width) {
         long n = 0;
         if (FirstWindow() == nullptr || !ReadNumber(width, 1, 32767, n)) return false;
         Print("frame dragged %ld %ld\n", Id(FirstWindow()), DragFrame(FirstWindow(), n));
         return true;
     }},
    {"minimize", [](const std::string&) { return ShowFirst(SW_SHOWMINNOACTIVE, "minimized"); }},
    {"restore", [](const std::string&) { return ShowFirst(SW_RESTORE, "restored"); }},
    {"pointer-moves",
     [](const std::string& times) {
         long n = 0;
         if (FirstWindow() == nullptr || !ReadNumber(times, 1, kMostTimes, n)) return false;
         MovePointer(FirstWindow(), n);
         Print("pointer moved %ld\n", n);
         return true;
     }},
    {"focus-cycle",
     [](const std::string& times) {
         const Pane* pane = FirstPaneOf(FirstWindow());
         long n = 0;
         if (pane == nullptr || !ReadNumber(times, 1, kMostTimes, n)) return false;
         for (long i = 0; i < n; ++i) SetFocus(GetFocus() == pane->handle ? pane->mainWindow : pane->handle);
         Print("focus moved %ld\n", n);
         return true;
     }},
};

// Returns false once the client should end.
bool RunCommand(const std::string& line) {
    if (line == "quit") return false;
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space), arg = space == std::string::npos ? "" : line.substr(space + 1);
    const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                      [&](const Command& c) { return name == c.name; });
    if (command == std::end(kCommands)) {
        if (!line.empty()) Print("unknown command: %s\n", line.c_str());
    } else if (!command->run(arg)) {
        Print("none\n");
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<ClientLayout> layouts;
    long exitAfter = 0;
    bool readStdin = true;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        const bool hasValue = i + 1 < argc;
        bool ok = true;
        if (option == L"--window" && hasValue) {
            layouts.push_back(ClientLayout{argv[++i], false, {}, {}, false, 0, 0});
        } else if (option == L"--place" && hasValue && !layouts.empty()) {
            layouts.back().placed = ReadFour(argv[++i], layouts.back().place);
            ok = layouts.back().placed;
        } else if (option == L"--mirrored" && !layouts.empty()) {
            layouts.back().mirrored = true;
        } else if (option == L"--hidden-panes" && hasValue && !layouts.empty()) {
            layouts.back().hiddenPanes = std::wcstol(argv[++i], nullptr, 10);
            ok = layouts.back().hiddenPanes > 0;
        } else if (option == L"--minimized" && hasValue && !layouts.empty()) {
            layouts.back().minimizedMs = std::wcstol(argv[++i], nullptr, 10);
            ok = layouts.back().minimizedMs > 0;
        } else if (option == L"--pane" && hasValue && !layouts.empty()) {
            layouts.back().panes.emplace_back();
            ok = ReadPane(argv[++i], layouts.back().panes.back());
        } else if (option == L"--splitter" && !layouts.empty() && !layouts.back().panes.empty()) {
            layouts.back().panes.back().splitter = true;
        } else if (option == L"--exit-after" && hasValue) {
            exitAfter = std::wcstol(argv[++i], nullptr, 10);
            ok = exitAfter > 0;
        } else if (option == L"--no-stdin") {
            readStdin = false;
        } else if (option == L"--no-events") {
            g_events = false;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "standin_client: cannot read option %d (see the source's top)\n",
                         i);
            return 2;
        }
    }

    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterClasses(instance) || !CreateLayout(layouts, instance)) {
        std::fprintf(stderr, "standin_client: cannot create the windows (error %lu)\n",
                     GetLastError());
        return 1;
    }
    // Make sure the thread has a message queue before the reader posts to it.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    g_counting = true;
    Print("ready\n");

    e2e::UniqueHandle reader;
    if (readStdin) {
        reader = e2e::UniqueHandle(CreateThread(
            nullptr, 0, ReadCommands,
            reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr));
    }
    if (exitAfter > 0) SetTimer(nullptr, kExitTimer, static_cast<UINT>(exitAfter), nullptr);

    bool running = !g_windows.empty() || readStdin || exitAfter > 0;
    while (running && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kCommandMessage) {
            std::unique_ptr<std::string> command(reinterpret_cast<std::string*>(msg.lParam));
            running = RunCommand(*command);
        } else if (msg.hwnd == nullptr && msg.message == WM_TIMER) {
            running = false;
        } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    Report();
    for (HWND w : g_windows) {
        if (IsWindow(w)) DestroyWindow(w);
    }
    Print("bye\n");
    // The reader may be blocked on standard input for ever: do not wait for it.
    std::fflush(stdout);
    ExitProcess(0);
}
