// The session's one watch: whether a /watch becomes it, and /stop ending it.
#pragma once

#include <optional>
#include <string>

#include "winsys/session_watches.h"

namespace kestrum {

// How a run ends, and the log's line saying why.
struct WatchRunEnd {
    int status = 0;
    std::string why;  // empty when there is nothing to say
};

// Takes the session's mark where the user's windows can be seen: nothing
// once this program is the session's watch; otherwise why not, and the
// status (5 where no windows can be seen, 8 where a watch runs already, 3
// where the mark could not be made).
std::optional<WatchRunEnd> BecomeTheWatch(SessionWatches& session);

// Asks this session's watch to end and waits for it, 5 s at most, also for
// one that is only starting (its mark taken, its window yet to come). 0 once
// none runs (also when none did); 3 when one could not be told (it runs
// with higher rights) or is still there, with why.
WatchRunEnd StopTheWatch(SessionWatches& session);

}  // namespace kestrum
