#include "winsys/win32/win32_timers.h"

#include <algorithm>
#include <utility>

namespace kestrum::win32 {
namespace {

constexpr wchar_t kClassName[] = L"KestrumTimers";

}  // namespace

Win32Timers::Win32Timers() {
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

std::chrono::milliseconds Win32Timers::Now() { return std::chrono::milliseconds(GetTickCount64()); }

Timers::Id Win32Timers::After(std::chrono::milliseconds delay, std::function<void()> callback) {
    if (window_.Get() == nullptr) return 0;
    const Id id = nextId_++;
    const auto ms = static_cast<UINT>(std::clamp<std::chrono::milliseconds::rep>(delay.count(), USER_TIMER_MINIMUM,
                                                                                 USER_TIMER_MAXIMUM));
    if (SetTimer(window_.Get(), static_cast<UINT_PTR>(id), ms, nullptr) == 0) return 0;
    waiting_.emplace(id, std::move(callback));
    return id;
}

void Win32Timers::Cancel(Id id) {
    if (waiting_.erase(id) > 0) KillTimer(window_.Get(), static_cast<UINT_PTR>(id));
}

void Win32Timers::Fire(Id id) {
    // A system timer repeats: it goes before its callback runs, which may
    // start another under a new id.
    KillTimer(window_.Get(), static_cast<UINT_PTR>(id));
    auto found = waiting_.find(id);
    if (found == waiting_.end()) return;
    const std::function<void()> callback = std::move(found->second);
    waiting_.erase(found);
    try {
        callback();
    } catch (...) {
        // No exception may unwind through user32: the first one ends the loop.
        if (!failure_) {
            failure_ = std::current_exception();
            PostQuitMessage(0);
        }
    }
}

void Win32Timers::RethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
}

LRESULT CALLBACK Win32Timers::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        if (auto* self = reinterpret_cast<Win32Timers*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->Fire(static_cast<Id>(wParam));
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kestrum::win32
