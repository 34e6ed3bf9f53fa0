#include "winsys/win32/win32_session_watches.h"

#include "winsys/win32/win32_window_station.h"

namespace kestrum::win32 {
namespace {

constexpr wchar_t kMarkName[] = L"Local\\KestrumWatch";

}  // namespace

std::string Win32SessionWatches::WhyNoDesktop() {
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0) {
        return "it runs in session 0 (as a service, or a task run whether the user is logged on or not), where "
               "no user's windows are";
    }
    if (!WindowStationVisible()) return "its window station is not visible: no user's windows can be seen from it";
    return {};
}

WatchMark Win32SessionWatches::TakeMark() {
    const HANDLE made = CreateMutexW(nullptr, FALSE, kMarkName);
    const DWORD error = GetLastError();
    UniqueHandle mark(made);
    if (!mark) return error == ERROR_ACCESS_DENIED ? WatchMark::HeldWithHigherRights : WatchMark::Failed;
    if (error == ERROR_ALREADY_EXISTS) return WatchMark::HeldByAnother;
    mark_ = std::move(mark);
    return WatchMark::Taken;
}

bool Win32SessionWatches::MarkHeld() {
    const HANDLE opened = OpenMutexW(SYNCHRONIZE, FALSE, kMarkName);
    const DWORD error = GetLastError();
    const UniqueHandle mark(opened);
    return mark || error == ERROR_ACCESS_DENIED;
}

StopRequest Win32SessionWatches::AskToEnd() {
    bool sent = false;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, kWatchWindowClass, nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) continue;
        SetLastError(ERROR_SUCCESS);
        if (PostMessageW(window, WM_CLOSE, 0, 0)) {
            sent = true;
        } else if (GetLastError() == ERROR_ACCESS_DENIED) {
            return StopRequest::Refused;
        }
    }
    return sent ? StopRequest::Sent : StopRequest::NoWindow;
}

std::chrono::milliseconds Win32SessionWatches::Now() { return std::chrono::milliseconds(GetTickCount64()); }

void Win32SessionWatches::Pause(std::chrono::milliseconds time) { Sleep(static_cast<DWORD>(time.count())); }

}  // namespace kestrum::win32
