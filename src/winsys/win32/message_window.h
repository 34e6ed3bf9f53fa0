// A message-only window of this program's, for what comes back through the
// thread's message loop (a timer, a notice posted to itself): each message
// goes to the handler. Hidden top-level instead, for what is sent or
// broadcast to top-level windows only (the end of the session, the shell
// telling that its taskbar is made anew), of a class of its own where other
// programs look for it by class. No exception may unwind through user32:
// the first one the handler throws ends the loop, and is thrown on from
// RethrowFailure once the loop is over.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

#include "winsys/win32/win32_handles.h"

namespace kestrum::win32 {

class MessageWindow {
public:
    // True when the handler took the message.
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;

    enum class Kind { MessageOnly, HiddenTopLevel };

    explicit MessageWindow(Handler handler, Kind kind = Kind::MessageOnly, const wchar_t* className = L"KestrumMessages",
                           const wchar_t* title = L"");
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Null when no window could be made.
    HWND Get() const { return window_.Get(); }
    void RethrowFailure() const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    std::exception_ptr failure_;
    UniqueWindow window_;
};

}  // namespace kestrum::win32
