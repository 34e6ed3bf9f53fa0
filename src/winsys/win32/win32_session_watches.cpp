#include "winsys/win32/win32_session_watches.h"

#include <algorithm>

#include "winsys/win32/win32_window_station.h"

namespace kestrum::win32 {
namespace {

constexpr wchar_t kMarkName[] = L"Local\\KestrumWatch";

WPARAM WParamOf(const WatchAsk& ask) {
    return static_cast<WPARAM>(ask.request) | (static_cast<WPARAM>(ask.width) << 8);
}

// Every watch window of another process of this session.
template <typename Each>
void ForEachWatchWindow(Each each) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, kWatchWindowClass, nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() && !each(window)) return;
    }
}

}  // namespace

std::optional<NoDesktop> Win32SessionWatches::WhyNoDesktop() {
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0) return NoDesktop::Session0;
    if (!WindowStationVisible()) return NoDesktop::StationNotVisible;
    return std::nullopt;
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

AskResult Win32SessionWatches::Ask(const WatchAsk& ask) {
    AskResult result = AskResult::NoWindow;
    ForEachWatchWindow([&](HWND window) {
        SetLastError(ERROR_SUCCESS);
        const bool posted = ask.request == WatchRequest::Stop
                                ? PostMessageW(window, WM_CLOSE, 0, 0)
                                : PostMessageW(window, kWatchAskMessage, WParamOf(ask), static_cast<LPARAM>(ask.pane));
        if (posted) {
            result = AskResult::Sent;
        } else if (GetLastError() == ERROR_ACCESS_DENIED) {
            result = AskResult::Refused;
        }
        return result != AskResult::Refused;
    });
    return result;
}

AskResult Win32SessionWatches::AskAndWait(const WatchAsk& ask, std::chrono::milliseconds within) {
    const std::chrono::milliseconds end = Now() + within;
    AskResult result = AskResult::NoWindow;
    ForEachWatchWindow([&](HWND window) {
        const auto left = std::max<std::chrono::milliseconds::rep>((end - Now()).count(), 1);
        DWORD_PTR answer = 0;
        SetLastError(ERROR_SUCCESS);
        if (SendMessageTimeoutW(window, kWatchAskMessage, WParamOf(ask), static_cast<LPARAM>(ask.pane),
                                SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT, static_cast<UINT>(left), &answer) != 0 &&
            answer == static_cast<DWORD_PTR>(kWatchAskDone)) {
            result = AskResult::Done;
        } else {
            result = GetLastError() == ERROR_ACCESS_DENIED ? AskResult::Refused : AskResult::Sent;
        }
        return result == AskResult::Sent;
    });
    return result;
}

std::chrono::milliseconds Win32SessionWatches::Now() { return std::chrono::milliseconds(GetTickCount64()); }

void Win32SessionWatches::Pause(std::chrono::milliseconds time) { Sleep(static_cast<DWORD>(time.count())); }

}  // namespace kestrum::win32
