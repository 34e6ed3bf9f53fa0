#include "winsys/win32/win32_window_events.h"

#include <algorithm>
#include <iterator>

#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

constexpr UINT kEventsWaiting = WM_APP + 1;

// The instance the hooks report to: their callback has nothing else to go by.
Win32WindowEvents* g_listening = nullptr;

// The events heard, each hooked alone, and what each is to the watch. A
// creation, a showing, a restore and a move count for a window itself (not a
// caret, a scroll bar or the mouse pointer over it); a capture for whatever
// holds it.
struct HookedEvent {
    DWORD event;
    WindowEvent as;
    bool ofWindowItself;
};
constexpr HookedEvent kHooked[] = {
    {EVENT_OBJECT_CREATE, WindowEvent::Created, true},
    {EVENT_OBJECT_SHOW, WindowEvent::Shown, true},
    {EVENT_SYSTEM_MINIMIZEEND, WindowEvent::Restored, true},
    {EVENT_SYSTEM_CAPTURESTART, WindowEvent::CaptureStarted, false},
    {EVENT_SYSTEM_CAPTUREEND, WindowEvent::CaptureEnded, false},
};
// Hooked for the program ReportPlacesIn names only.
constexpr HookedEvent kPlaced = {EVENT_OBJECT_LOCATIONCHANGE, WindowEvent::Placed, true};

const HookedEvent* Told(DWORD event) {
    if (event == kPlaced.event) return &kPlaced;
    const auto hooked = std::find_if(std::begin(kHooked), std::end(kHooked),
                                     [event](const HookedEvent& h) { return h.event == event; });
    return hooked == std::end(kHooked) ? nullptr : hooked;
}

}  // namespace

Win32WindowEvents::Win32WindowEvents()
    : window_([this](UINT message, WPARAM, LPARAM) {
          if (message != kEventsWaiting) return false;
          HandleWaiting();
          return true;
      }) {}

Win32WindowEvents::~Win32WindowEvents() { Stop(); }

bool Win32WindowEvents::Start(Handler handler) {
    if (window_.Get() == nullptr || (g_listening != nullptr && g_listening != this)) return false;
    Stop();
    static_assert(std::size(kHooked) == std::tuple_size_v<decltype(hooks_)>);
    // The program's own windows are left out by the flag where the window
    // manager honours it, and by the callback where it does not.
    for (std::size_t i = 0; i < hooks_.size(); ++i) {
        hooks_[i] = SetWinEventHook(kHooked[i].event, kHooked[i].event, nullptr, Heard, 0, 0,
                                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (hooks_[i] == nullptr) {
            Stop();
            return false;
        }
    }
    handler_ = std::move(handler);
    g_listening = this;
    return true;
}

void Win32WindowEvents::Stop() {
    ReportPlacesIn(0);
    for (HWINEVENTHOOK& hook : hooks_) {
        if (hook != nullptr) UnhookWinEvent(hook);
        hook = nullptr;
    }
    handler_ = nullptr;
    waiting_.clear();
    if (g_listening == this) g_listening = nullptr;
}

void Win32WindowEvents::ReportPlacesIn(WindowHandle window) {
    DWORD process = 0;
    // Never 0 (a window gone): a hook for process 0 hears every program.
    if (window == 0 || GetWindowThreadProcessId(ToHwnd(window), &process) == 0 || process == GetCurrentProcessId() ||
        hooks_[0] == nullptr) {
        process = 0;
    }
    if (process == placesOf_ && (process == 0 || placeHook_ != nullptr)) return;
    if (placeHook_ != nullptr) UnhookWinEvent(placeHook_);
    placeHook_ = nullptr;
    placesOf_ = process;
    if (process != 0) {
        placeHook_ = SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, nullptr, Heard, process,
                                     0, WINEVENT_OUTOFCONTEXT);
    }
}

void CALLBACK Win32WindowEvents::Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                       DWORD thread, DWORD) {
    Win32WindowEvents* const self = g_listening;
    if (self == nullptr || window == nullptr || thread == GetCurrentThreadId()) return;
    const HookedEvent* const told = Told(event);
    if (told == nullptr || (told->ofWindowItself && (object != OBJID_WINDOW || child != CHILDID_SELF))) return;
    // A drag moves a window many times between two turns of the loop: once
    // is enough to look at it.
    if (!self->waiting_.empty() && self->waiting_.back() == std::pair(told->as, window)) return;
    if (self->waiting_.empty()) PostMessageW(self->window_.Get(), kEventsWaiting, 0, 0);
    self->waiting_.emplace_back(told->as, window);
}

void Win32WindowEvents::HandleWaiting() {
    // Taken as a whole: the handler's own calls may let more events in.
    const std::vector<std::pair<WindowEvent, HWND>> events = std::exchange(waiting_, {});
    for (const auto& [event, window] : events) {
        if (handler_) handler_(event, ToHandle(window));
    }
}

}  // namespace kestrum::win32
