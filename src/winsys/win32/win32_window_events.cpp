#include "winsys/win32/win32_window_events.h"

#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

constexpr UINT kEventsWaiting = WM_APP + 1;

// The instance the hook reports to: its callback has nothing else to go by.
Win32WindowEvents* g_listening = nullptr;

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
    // From creation to showing (the destruction between them is not asked
    // for, and is passed over). The program's own windows are left out by
    // the flag where the window manager honours it, and by the callback
    // where it does not.
    hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, Heard, 0, 0,
                            WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (hook_ == nullptr) return false;
    handler_ = std::move(handler);
    g_listening = this;
    return true;
}

void Win32WindowEvents::Stop() {
    if (hook_ != nullptr) UnhookWinEvent(hook_);
    hook_ = nullptr;
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
    if (event != EVENT_OBJECT_CREATE && event != EVENT_OBJECT_SHOW) return;
    if (self->waiting_.empty()) PostMessageW(self->window_.Get(), kEventsWaiting, 0, 0);
    self->waiting_.emplace_back(event == EVENT_OBJECT_CREATE ? WindowEvent::Created : WindowEvent::Shown, window);
}

void Win32WindowEvents::HandleWaiting() {
    // Taken as a whole: the handler's own calls may let more events in.
    const std::vector<std::pair<WindowEvent, HWND>> events = std::exchange(waiting_, {});
    for (const auto& [event, window] : events) {
        if (handler_) handler_(event, ToHandle(window));
    }
}

}  // namespace kestrum::win32
