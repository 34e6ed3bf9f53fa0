#include "winsys/win32/win32_window_events.h"

#include <algorithm>
#include <iterator>

#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

constexpr UINT kEventsWaiting = WM_APP + 1;

// The instance the hook reports to: its callback has nothing else to go by.
Win32WindowEvents* g_listening = nullptr;

// The events heard, each hooked alone, and what each is to the watch.
struct HookedEvent {
    DWORD event;
    WindowEvent as;
};
constexpr HookedEvent kHooked[] = {
    {EVENT_OBJECT_CREATE, WindowEvent::Created},
    {EVENT_OBJECT_SHOW, WindowEvent::Shown},
    {EVENT_SYSTEM_MINIMIZEEND, WindowEvent::Restored},
};

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
    for (HWINEVENTHOOK& hook : hooks_) {
        if (hook != nullptr) UnhookWinEvent(hook);
        hook = nullptr;
    }
    handler_ = nullptr;
    waiting_.clear();
    if (g_listening == this) g_listening = nullptr;
}

void CALLBACK Win32WindowEvents::Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                       DWORD thread, DWORD) {
    // A window itself (not a caret or a scroll bar of it), of another program.
    Win32WindowEvents* const self = g_listening;
    if (self == nullptr || window == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF ||
        thread == GetCurrentThreadId()) {
        return;
    }
    const auto hooked = std::find_if(std::begin(kHooked), std::end(kHooked),
                                     [event](const HookedEvent& h) { return h.event == event; });
    if (hooked == std::end(kHooked)) return;
    if (self->waiting_.empty()) PostMessageW(self->window_.Get(), kEventsWaiting, 0, 0);
    self->waiting_.emplace_back(hooked->as, window);
}

void Win32WindowEvents::HandleWaiting() {
    // Taken as a whole: the handler's own calls may let more events in.
    const std::vector<std::pair<WindowEvent, HWND>> events = std::exchange(waiting_, {});
    for (const auto& [event, window] : events) {
        if (handler_) handler_(event, ToHandle(window));
    }
}

}  // namespace kestrum::win32
