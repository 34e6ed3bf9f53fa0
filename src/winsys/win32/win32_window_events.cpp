#include "winsys/win32/win32_window_events.h"

#include <optional>
#include <set>

#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

constexpr UINT kEventsWaiting = WM_APP + 1;

// The instance the hooks report to: their callback has nothing else to go by.
Win32WindowEvents* g_listening = nullptr;

// The events heard on the whole desktop, a hook each.
constexpr DWORD kDesktopEvents[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_OBJECT_FOCUS,
                                    EVENT_SYSTEM_CAPTUREEND};

// What an event tells: of a window itself (not a caret or a scroll bar of
// it) for a creation, a showing and a move; of anything in it for the focus
// (a control reports it for its client area) and the mouse let go.
std::optional<WindowEvent> Told(DWORD event, LONG object, LONG child) {
    const bool itself = object == OBJID_WINDOW && child == CHILDID_SELF;
    switch (event) {
        case EVENT_OBJECT_CREATE: return itself ? std::optional(WindowEvent::Created) : std::nullopt;
        case EVENT_OBJECT_SHOW: return itself ? std::optional(WindowEvent::Shown) : std::nullopt;
        case EVENT_OBJECT_LOCATIONCHANGE: return itself ? std::optional(WindowEvent::Placed) : std::nullopt;
        case EVENT_OBJECT_FOCUS: return WindowEvent::Focused;
        case EVENT_SYSTEM_CAPTUREEND: return WindowEvent::CaptureEnded;
        default: return std::nullopt;
    }
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
    // The program's own windows are left out by the flag where the window
    // manager honours it, and by the callback where it does not.
    for (const DWORD event : kDesktopEvents) {
        const HWINEVENTHOOK hook =
            SetWinEventHook(event, event, nullptr, Heard, 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (hook == nullptr) {
            Stop();
            return false;
        }
        hooks_.push_back(hook);
    }
    handler_ = std::move(handler);
    g_listening = this;
    return true;
}

void Win32WindowEvents::Stop() {
    ReportPlacesIn({});
    for (const HWINEVENTHOOK hook : hooks_) UnhookWinEvent(hook);
    hooks_.clear();
    handler_ = nullptr;
    waiting_.clear();
    if (g_listening == this) g_listening = nullptr;
}

void Win32WindowEvents::ReportPlacesIn(const std::vector<WindowHandle>& windows) {
    std::set<DWORD> programs;
    for (const WindowHandle window : windows) {
        DWORD process = 0;
        // Never 0 (a window gone): a hook for process 0 hears every program.
        if (GetWindowThreadProcessId(ToHwnd(window), &process) != 0 && process != 0 &&
            process != GetCurrentProcessId()) {
            programs.insert(process);
        }
    }
    for (auto it = placeHooks_.begin(); it != placeHooks_.end();) {
        if (programs.contains(it->first)) {
            ++it;
            continue;
        }
        UnhookWinEvent(it->second);
        it = placeHooks_.erase(it);
    }
    if (hooks_.empty()) return;  // not started
    for (const DWORD process : programs) {
        if (placeHooks_.contains(process)) continue;
        if (const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE,
                                                       nullptr, Heard, process, 0, WINEVENT_OUTOFCONTEXT)) {
            placeHooks_.emplace(process, hook);
        }
    }
}

void CALLBACK Win32WindowEvents::Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                       DWORD thread, DWORD) {
    Win32WindowEvents* const self = g_listening;
    if (self == nullptr || window == nullptr || thread == GetCurrentThreadId()) return;
    const std::optional<WindowEvent> told = Told(event, object, child);
    if (!told) return;
    // A drag moves a window many times between two turns of the loop: once
    // is enough to look at it.
    if (!self->waiting_.empty() && self->waiting_.back() == std::pair(*told, window)) return;
    if (self->waiting_.empty()) PostMessageW(self->window_.Get(), kEventsWaiting, 0, 0);
    self->waiting_.emplace_back(*told, window);
}

void Win32WindowEvents::HandleWaiting() {
    // Taken as a whole: the handler's own calls may let more events in.
    const std::vector<std::pair<WindowEvent, HWND>> events = std::exchange(waiting_, {});
    for (const auto& [event, window] : events) {
        if (handler_) handler_(event, ToHandle(window));
    }
}

}  // namespace kestrum::win32
