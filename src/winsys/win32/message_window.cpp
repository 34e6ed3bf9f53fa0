#include "winsys/win32/message_window.h"

#include <utility>

#include "winsys/win32/window_class.h"

namespace kestrum::win32 {

MessageWindow::MessageWindow(Handler handler, Kind kind, const wchar_t* className, const wchar_t* title)
    : handler_(std::move(handler)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    if (!RegisterWindowClass(windowClass)) return;
    // Top-level: a pop-up never shown, and kept off the taskbar.
    const bool topLevel = kind == Kind::HiddenTopLevel;
    window_.Reset(CreateWindowExW(topLevel ? WS_EX_TOOLWINDOW : 0, className, title, topLevel ? WS_POPUP : 0, 0, 0, 0,
                                  0, topLevel ? nullptr : HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr));
    if (window_.Get() != nullptr) SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void MessageWindow::RethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->handler_) {
        try {
            if (self->handler_(message, wParam, lParam)) return 0;
        } catch (...) {
            if (!self->failure_) {
                self->failure_ = std::current_exception();
                PostQuitMessage(0);
            }
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kestrum::win32
