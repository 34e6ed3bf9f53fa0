// Timers over user32, for the Windows build: each callback runs from the
// thread's message loop (a message-only window's WM_TIMER), never from
// inside After.
#pragma once

#include <windows.h>

#include <map>

#include "winsys/timers.h"
#include "winsys/win32/message_window.h"

namespace kestrum::win32 {

class Win32Timers final : public Timers {
public:
    Win32Timers();
    Win32Timers(const Win32Timers&) = delete;
    Win32Timers& operator=(const Win32Timers&) = delete;

    std::chrono::milliseconds Now() override;
    // 0 when no timer could be made (no window, no system timer): the
    // callback then never runs.
    Id After(std::chrono::milliseconds delay, std::function<void()> callback) override;
    void Cancel(Id id) override;

    // A callback that threw ends the thread's message loop; the loop's owner
    // throws it on from here once the loop is over.
    void RethrowFailure() const { window_.RethrowFailure(); }

private:
    void Fire(Id id);

    Id nextId_ = 1;
    std::map<Id, std::function<void()>> waiting_;
    MessageWindow window_;
};

}  // namespace kestrum::win32
