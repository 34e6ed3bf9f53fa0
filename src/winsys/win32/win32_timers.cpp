#include "winsys/win32/win32_timers.h"

#include <algorithm>
#include <utility>

namespace kestrum::win32 {

namespace {

// A callback due at once comes as a posted message, not a system timer: those
// are not made shorter than 10 ms (on Windows, a tick of about 16 ms).
constexpr UINT kDueNow = WM_APP + 1;

}  // namespace

Win32Timers::Win32Timers()
    : window_([this](UINT message, WPARAM wParam, LPARAM) {
          if (message != WM_TIMER && message != kDueNow) return false;
          Fire(static_cast<Id>(wParam));
          return true;
      }) {}

std::chrono::milliseconds Win32Timers::Now() { return std::chrono::milliseconds(GetTickCount64()); }

Timers::Id Win32Timers::After(std::chrono::milliseconds delay, std::function<void()> callback) {
    if (window_.Get() == nullptr) return 0;
    const Id id = nextId_++;
    if (delay <= std::chrono::milliseconds::zero()) {
        if (!PostMessageW(window_.Get(), kDueNow, static_cast<WPARAM>(id), 0)) return 0;
    } else {
        const auto ms = static_cast<UINT>(std::clamp<std::chrono::milliseconds::rep>(
            delay.count(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
        if (SetTimer(window_.Get(), static_cast<UINT_PTR>(id), ms, nullptr) == 0) return 0;
    }
    waiting_.emplace(id, std::move(callback));
    return id;
}

void Win32Timers::Cancel(Id id) {
    if (waiting_.erase(id) > 0) KillTimer(window_.Get(), static_cast<UINT_PTR>(id));
}

void Win32Timers::Fire(Id id) {
    // A system timer repeats: it goes before its callback runs, which may
    // start another under a new id. (One posted instead has none to go.)
    KillTimer(window_.Get(), static_cast<UINT_PTR>(id));
    auto found = waiting_.find(id);
    if (found == waiting_.end()) return;
    const std::function<void()> callback = std::move(found->second);
    waiting_.erase(found);
    callback();
}

}  // namespace kestrum::win32
