#include "winsys/win32/win32_watch_host.h"

#include <stdexcept>
#include <string>

#include "winsys/win32/win32_program_start.h"
#include "winsys/win32/win32_session_watches.h"
#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {

Win32WatchHost::Win32WatchHost()
    : window_([this](UINT message, WPARAM wParam, LPARAM lParam) { return Handle(message, wParam, lParam); },
              MessageWindow::Kind::HiddenTopLevel, kWatchWindowClass, L"Kestrum watch") {}

bool Win32WatchHost::Listen(Listener& listener) {
    listener_ = &listener;
    return window_.Get() != nullptr;
}

bool Win32WatchHost::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (listener_ == nullptr) return false;
    switch (message) {
        case WM_QUERYENDSESSION:
            // Never holds the session up, nor an update: the answer is yes.
            return false;
        case WM_ENDSESSION:
            if (wParam != 0) {
                listener_->SessionEnding((lParam & ENDSESSION_CLOSEAPP) != 0 ? SessionEnd::ClosedByWindows
                                                                             : SessionEnd::Ended);
            }
            return true;
        case WM_CLOSE:
            listener_->Asked({WatchRequest::Stop});
            return true;
        case kWatchAskMessage:
            // The run that sent it waits for this answer (one that posted it, for none).
            if (listener_->Asked({static_cast<WatchRequest>(wParam & 0xFF), static_cast<std::int32_t>(wParam >> 8),
                                  static_cast<WindowHandle>(lParam)})) {
                ReplyMessage(kWatchAskDone);
            }
            return true;
        default:
            return false;
    }
}

bool Win32WatchHost::RestartAfterUpdate(std::string_view arguments) {
    return SUCCEEDED(RegisterApplicationRestart(Utf8ToWide(arguments).c_str(),
                                                RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT));
}

bool Win32WatchHost::OpenWindow() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size() &&
           path.size() < 32768) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return length != 0 && StartCommandLine(L"\"" + path + L"\"").process;
}

std::optional<std::string> Win32WatchHost::StartProgram(const ProgramLine& line) {
    StartedProgram started = win32::StartProgram(line);
    if (!started.process) return started.failure;
    program_ = std::move(started.process);
    return std::nullopt;
}

void Win32WatchHost::Quit() {
    quitting_ = true;
    // The icon's menu, open: its own loop runs until it ends, and would take
    // a WM_QUIT for itself. The loop below ends on quitting_ once it is back.
    EndMenu();
}

void Win32WatchHost::Run() {
    MSG message;
    while (!quitting_) {
        const HANDLE program = program_.Get();
        const DWORD woke = MsgWaitForMultipleObjectsEx(program != nullptr ? 1 : 0, &program, INFINITE, QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) throw std::runtime_error("the watch's wait failed");
        if (program != nullptr && woke == WAIT_OBJECT_0) {
            program_.Reset();
            if (listener_ != nullptr) listener_->ProgramEnded();
            continue;
        }
        while (!quitting_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // A handler's failure elsewhere (the timers, the icon) ends the loop too.
            if (message.message == WM_QUIT) {
                quitting_ = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    window_.RethrowFailure();
}

}  // namespace kestrum::win32
