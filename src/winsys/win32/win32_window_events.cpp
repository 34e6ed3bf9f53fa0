#include "winsys/win32/win32_window_events.h"

#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

constexpr wchar_t kClassName[] = L"KestrumWindowEvents";
constexpr UINT kEventsWaiting = WM_APP + 1;

// The instance the hook reports to: its callback has nothing else to go by.
Win32WindowEvents* g_listening = nullptr;

}  // namespace

Win32WindowEvents::Win32WindowEvents() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
    window_.Reset(CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr));
    if (window_.Get() != nullptr) SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

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
    try {
        for (const auto& [event, window] : events) {
            if (handler_) handler_(event, ToHandle(window));
        }
    } catch (...) {
        // No exception may unwind through user32: the first one ends the loop.
        if (!failure_) {
            failure_ = std::current_exception();
            PostQuitMessage(0);
        }
    }
}

void Win32WindowEvents::RethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
}

LRESULT CALLBACK Win32WindowEvents::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kEventsWaiting) {
        if (auto* self = reinterpret_cast<Win32WindowEvents*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->HandleWaiting();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kestrum::win32
