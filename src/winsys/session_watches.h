// What the resident watch needs of the session it runs in besides windows:
// the mark that makes it the session's one watch, whether the user's windows
// can be seen from here at all, and, for /stop and the commands, asking
// this session's watch. The Windows build has it over a named mutex, the
// window station and the watch's hidden window.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "winsys/window_system.h"

namespace kestrum {

enum class WatchMark {
    Taken,                 // this program holds it now: it is the session's watch
    HeldByAnother,         // a watch of this session holds it
    HeldWithHigherRights,  // one holds it that runs with higher rights (it cannot even be opened)
    Failed,                // it could not be made
};

// Why the user's windows cannot be seen from where the program runs.
enum class NoDesktop {
    Session0,           // the services' session
    StationNotVisible,  // a window station that is not visible
};

// What another run of this session asks of its watch.
enum class WatchRequest {
    Stop,
    UserWidth,  // the user set `pane` to `width` with Kestrum's window
    // What its icon's menu does, from the command line.
    ApplyNow,
    Pause,
    Resume,
    Forget,
};
struct WatchAsk {
    WatchRequest request = WatchRequest::Stop;
    std::int32_t width = 0;
    WindowHandle pane = 0;
};

enum class AskResult {
    NoWindow,  // no watch window of this session (yet) took the request
    Sent,      // the watch was asked (waiting: it did not answer that it had done it)
    Refused,   // the request was refused: that watch runs with higher rights
    Done,      // the watch answered that it had done it
};

class SessionWatches {
public:
    virtual ~SessionWatches() = default;

    // Why the user's windows cannot be seen from here; none where they can.
    virtual std::optional<NoDesktop> WhyNoDesktop() = 0;
    // Takes the session's mark, held until this object goes.
    virtual WatchMark TakeMark() = 0;
    // A watch of this session holds the mark: from its very start, before
    // its window is made.
    virtual bool MarkHeld() = 0;
    // Asks this session's watch, through its window, without waiting.
    virtual AskResult Ask(const WatchAsk& ask) = 0;
    // Asks it and waits for its answer, `within` at most.
    virtual AskResult AskAndWait(const WatchAsk& ask, std::chrono::milliseconds within) = 0;

    // The time, and a pause: /stop and the commands have nothing else to do
    // while they wait.
    virtual std::chrono::milliseconds Now() = 0;
    virtual void Pause(std::chrono::milliseconds time) = 0;
};

}  // namespace kestrum
