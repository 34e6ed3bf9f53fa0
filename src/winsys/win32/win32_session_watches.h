// SessionWatches over Windows, for the Windows build: the mark is a named
// mutex in the session's own namespace ("Local\": each session on a
// terminal server has a watch of its own), the watch is told to end through
// its hidden top-level window.
#pragma once

#include <windows.h>

#include "winsys/session_watches.h"
#include "winsys/win32/win32_handles.h"

namespace kestrum::win32 {

// The class of the watch's hidden window, which hears the end of the
// session and what other runs ask: /stop as WM_CLOSE, the rest as this
// message (wParam: the request in its low byte, the width above; lParam:
// the pane).
inline constexpr wchar_t kWatchWindowClass[] = L"KestrumWatch";
inline constexpr UINT kWatchAskMessage = WM_APP + 20;
// The watch's answer to a request sent (not posted) once it has done it.
inline constexpr LRESULT kWatchAskDone = 0x4B44;

class Win32SessionWatches final : public SessionWatches {
public:
    // Session 0 first, then the window station.
    std::optional<NoDesktop> WhyNoDesktop() override;
    // A mutex that exists but cannot be opened belongs to a watch with
    // higher rights.
    WatchMark TakeMark() override;
    bool MarkHeld() override;
    // Posted to every watch window of another process of this session;
    // refused (access denied) to a program with higher rights.
    AskResult Ask(const WatchAsk& ask) override;
    // Sent to the same windows, each waited for (within the time left) unless hung.
    AskResult AskAndWait(const WatchAsk& ask, std::chrono::milliseconds within) override;
    std::chrono::milliseconds Now() override;
    void Pause(std::chrono::milliseconds time) override;

private:
    UniqueHandle mark_;
};

}  // namespace kestrum::win32
