// WatchHost over Windows, for the Windows build: a hidden top-level window
// of the class /stop looks for (message-only windows hear no end of the
// session), the thread's message loop (one wait, for the messages and the
// program started), Restart Manager's registration, and this program
// started again for Kestrum's window.
#pragma once

#include <windows.h>

#include "winsys/watch_host.h"
#include "winsys/win32/message_window.h"

namespace kestrum::win32 {

class Win32WatchHost final : public WatchHost {
public:
    Win32WatchHost();

    bool Listen(Listener& listener) override;
    bool RestartAfterUpdate(std::string_view arguments) override;
    bool OpenWindow() override;
    std::optional<std::string> StartProgram(const ProgramLine& line) override;
    // Ends the thread's menu too, whose loop would otherwise go on.
    void Quit() override;

    // The thread's message loop, until Quit (or a WM_QUIT); what the
    // window's handler threw is thrown on from here.
    void Run();

private:
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam);

    Listener* listener_ = nullptr;
    UniqueHandle program_;  // waited on until it has ended
    bool quitting_ = false;
    MessageWindow window_;
};

}  // namespace kestrum::win32
