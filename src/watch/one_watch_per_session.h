// The session's one watch: whether a /watch becomes it, /stop ending it, and
// the commands it is asked from the command line.
#pragma once

#include <optional>

#include "log/what_happened.h"
#include "winsys/session_watches.h"

namespace kestrum {

// A /watch that does not become the session's watch: its status, and why.
struct NotTheWatch {
    int status = 0;
    WatchNotStarted why = WatchNotStarted::MarkNotMade;
};

// Takes the session's mark where the user's windows can be seen: nothing
// once this program is the session's watch; otherwise why not, and the
// status (5 where no windows can be seen, 8 where a watch runs already, 3
// where the mark could not be made).
std::optional<NotTheWatch> BecomeTheWatch(SessionWatches& session);

// How a /stop ended: its status, and why where it could not end the watch.
struct StopEnd {
    int status = 0;
    std::optional<StopFailed> why;
};

// Asks this session's watch to end and waits for it, 5 s at most, also for
// one that is only starting (its mark taken, its window yet to come). 0 once
// none runs (also when none did); 3 when one could not be told (it runs
// with higher rights) or is still there, with why.
StopEnd StopTheWatch(SessionWatches& session);

// How a command asked of the watch ended: its status, and why where the
// watch did not do it.
struct AskEnd {
    int status = 0;
    std::optional<AskFailed> why;
};

// Asks this session's watch to do `request` and waits for its answer, 5 s at
// most, also from one that is only starting (as StopTheWatch): 0 once it has
// done it; 10 when none runs (or it ended meanwhile); 3 when it could not be
// asked (higher rights) or did not answer, with why.
AskEnd AskTheWatch(SessionWatches& session, WatchRequest request);

}  // namespace kestrum
