// WindowEvents over user32's window-event hooks, for the Windows build: out
// of context, so the reports come through this thread's message loop. A
// hook's callback only records what it was told and posts itself a message;
// the handler runs from that message, one event after another.
#pragma once

#include <windows.h>

#include <array>
#include <utility>
#include <vector>

#include "winsys/window_events.h"
#include "winsys/win32/message_window.h"

namespace kestrum::win32 {

class Win32WindowEvents final : public WindowEvents {
public:
    Win32WindowEvents();
    ~Win32WindowEvents() override;
    Win32WindowEvents(const Win32WindowEvents&) = delete;
    Win32WindowEvents& operator=(const Win32WindowEvents&) = delete;

    // One instance hears the hooks at a time.
    bool Start(Handler handler) override;
    void Stop() override;
    // One hook on the location changes of the program named, that
    // program's own: none on the whole desktop.
    void ReportPlacesIn(WindowHandle window) override;
    // A handler that threw ends the thread's message loop; its owner throws
    // it on from here once the loop is over.
    void RethrowFailure() const { window_.RethrowFailure(); }

private:
    static void CALLBACK Heard(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                               DWORD thread, DWORD time);
    void HandleWaiting();

    // One hook per event heard on the whole desktop: a range would wake the
    // watch for the others in it (EVENT_OBJECT_DESTROY, sent for every item
    // any list drops).
    std::array<HWINEVENTHOOK, 5> hooks_{};
    HWINEVENTHOOK placeHook_ = nullptr;
    DWORD placesOf_ = 0;  // the process whose moves are heard
    Handler handler_;
    std::vector<std::pair<WindowEvent, HWND>> waiting_;
    MessageWindow window_;
};

}  // namespace kestrum::win32
