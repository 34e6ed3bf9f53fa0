#include "watch/one_watch_per_session.h"

#include <algorithm>

#include "startup/start_outcome.h"

namespace kestrum {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kStopWithin{5000};
// How often /stop looks for a watch's window, and whether it has ended.
constexpr milliseconds kStopLookEvery{20};

}  // namespace

std::optional<WatchRunEnd> BecomeTheWatch(SessionWatches& session) {
    if (const std::string why = session.WhyNoDesktop(); !why.empty()) {
        return WatchRunEnd{kExitNothingChanged, "not started: " + why};
    }
    switch (session.TakeMark()) {
        case WatchMark::Taken: return std::nullopt;
        case WatchMark::HeldByAnother:
            return WatchRunEnd{kExitAlreadyWatching, "not started: Kestrum already watches this session"};
        case WatchMark::HeldWithHigherRights:
            return WatchRunEnd{kExitAlreadyWatching,
                               "not started: Kestrum already watches this session (a watch with higher rights)"};
        case WatchMark::Failed: break;
    }
    return WatchRunEnd{kExitInternalFailure, "not started: the session's watch mark could not be made"};
}

WatchRunEnd StopTheWatch(SessionWatches& session) {
    const milliseconds end = session.Now() + kStopWithin;
    bool asked = false;
    for (;;) {
        if (!session.MarkHeld()) return {};
        // A watch just started has its mark before its window: looked for
        // again until it is there.
        if (!asked) {
            switch (session.AskToEnd()) {
                case StopRequest::Refused:
                    return {kExitInternalFailure,
                            "/stop: this session's watch runs with higher rights and cannot be told to end; run "
                            "/stop the same way (as administrator)"};
                case StopRequest::Sent: asked = true; break;
                case StopRequest::NoWindow: break;
            }
        }
        const milliseconds left = end - session.Now();
        if (left <= milliseconds::zero()) {
            return {kExitInternalFailure, asked ? "/stop: this session's watch did not end within 5 seconds"
                                                : "/stop: this session's watch could not be reached within 5 seconds"};
        }
        session.Pause(std::min(left, kStopLookEvery));
    }
}

}  // namespace kestrum
