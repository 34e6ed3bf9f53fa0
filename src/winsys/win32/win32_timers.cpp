#include "winsys/win32/win32_timers.h"

#include <algorithm>
#include <utility>

namespace kestrum::win32 {

Win32Timers::Win32Timers()
    : window_([this](UINT message, WPARAM wParam, LPARAM) {
          if (message != WM_TIMER) return false;
          Fire(static_cast<Id>(wParam));
          return true;
      }) {}

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
    callback();
}

}  // namespace kestrum::win32
