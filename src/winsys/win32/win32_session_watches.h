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
// session and /stop.
inline constexpr wchar_t kWatchWindowClass[] = L"KestrumWatch";

class Win32SessionWatches final : public SessionWatches {
public:
    // Session 0 first, then the window station.
    std::string WhyNoDesktop() override;
    // A mutex that exists but cannot be opened belongs to a watch with
    // higher rights.
    WatchMark TakeMark() override;
    bool MarkHeld() override;
    // WM_CLOSE posted to every watch window of another process of this
    // session; refused (access denied) to a program with higher rights.
    StopRequest AskToEnd() override;
    std::chrono::milliseconds Now() override;
    void Pause(std::chrono::milliseconds time) override;

private:
    UniqueHandle mark_;
};

}  // namespace kestrum::win32
