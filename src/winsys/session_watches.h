// What the resident watch needs of the session it runs in besides windows:
// the mark that makes it the session's one watch, whether the user's windows
// can be seen from here at all, and, for /stop, telling this session's
// watch to end. The Windows build has it over a named mutex, the window
// station and the watch's hidden window.
#pragma once

#include <chrono>
#include <string>

namespace kestrum {

enum class WatchMark {
    Taken,                 // this program holds it now: it is the session's watch
    HeldByAnother,         // a watch of this session holds it
    HeldWithHigherRights,  // one holds it that runs with higher rights (it cannot even be opened)
    Failed,                // it could not be made
};

enum class StopRequest {
    NoWindow,  // no watch window of this session (yet) took the request
    Sent,      // the watch was asked to end
    Refused,   // the request was refused: that watch runs with higher rights
};

class SessionWatches {
public:
    virtual ~SessionWatches() = default;

    // Why the user's windows cannot be seen from here (session 0, a window
    // station that is not visible), in words; empty where they can.
    virtual std::string WhyNoDesktop() = 0;
    // Takes the session's mark, held until this object goes.
    virtual WatchMark TakeMark() = 0;
    // A watch of this session holds the mark: from its very start, before
    // its window is made.
    virtual bool MarkHeld() = 0;
    // Asks this session's watch, through its window, to end, without waiting.
    virtual StopRequest AskToEnd() = 0;

    // The time, and a pause: /stop has nothing else to do while it waits.
    virtual std::chrono::milliseconds Now() = 0;
    virtual void Pause(std::chrono::milliseconds time) = 0;
};

}  // namespace kestrum
