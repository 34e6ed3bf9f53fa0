#include "watch/one_watch_per_session.h"

#include <algorithm>

#include "startup/start_outcome.h"

namespace kestrum {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kStopWithin{5000};
// How often /stop and the commands look for a watch's window, and whether it has ended.
constexpr milliseconds kStopLookEvery{20};

}  // namespace

std::optional<NotTheWatch> BecomeTheWatch(SessionWatches& session) {
    if (const std::optional<NoDesktop> none = session.WhyNoDesktop()) {
        return NotTheWatch{kExitNothingChanged, *none == NoDesktop::Session0 ? WatchNotStarted::Session0
                                                                              : WatchNotStarted::StationNotVisible};
    }
    switch (session.TakeMark()) {
        case WatchMark::Taken: return std::nullopt;
        case WatchMark::HeldByAnother: return NotTheWatch{kExitAlreadyWatching, WatchNotStarted::AlreadyWatching};
        case WatchMark::HeldWithHigherRights:
            return NotTheWatch{kExitAlreadyWatching, WatchNotStarted::AlreadyWatchingWithHigherRights};
        case WatchMark::Failed: break;
    }
    return NotTheWatch{kExitInternalFailure, WatchNotStarted::MarkNotMade};
}

StopEnd StopTheWatch(SessionWatches& session) {
    const milliseconds end = session.Now() + kStopWithin;
    bool asked = false;
    for (;;) {
        if (!session.MarkHeld()) return {};
        // A watch just started has its mark before its window: looked for
        // again until it is there.
        if (!asked) {
            switch (session.Ask({WatchRequest::Stop})) {
                case AskResult::Refused: return {kExitInternalFailure, StopFailed::HigherRights};
                case AskResult::Sent:
                case AskResult::Done: asked = true; break;
                case AskResult::NoWindow: break;
            }
        }
        const milliseconds left = end - session.Now();
        if (left <= milliseconds::zero()) {
            return {kExitInternalFailure, asked ? StopFailed::DidNotEnd : StopFailed::NotReached};
        }
        session.Pause(std::min(left, kStopLookEvery));
    }
}

AskEnd AskTheWatch(SessionWatches& session, WatchRequest request) {
    const milliseconds end = session.Now() + kStopWithin;
    bool asked = false;
    for (;;) {
        if (!session.MarkHeld()) return {kExitNoWatch, AskFailed{request, AskFailed::Why::NoWatch}};
        milliseconds left = end - session.Now();
        if (left > milliseconds::zero()) {
            switch (session.AskAndWait({request}, left)) {
                case AskResult::Done: return {};
                case AskResult::Refused: return {kExitInternalFailure, AskFailed{request, AskFailed::Why::HigherRights}};
                case AskResult::Sent: asked = true; break;
                case AskResult::NoWindow: break;
            }
            left = end - session.Now();
        }
        // Not there yet, or not yet listening: asked again.
        if (left <= milliseconds::zero()) {
            return {kExitInternalFailure,
                    AskFailed{request, asked ? AskFailed::Why::NotAnswered : AskFailed::Why::NotReached}};
        }
        session.Pause(std::min(left, kStopLookEvery));
    }
}

}  // namespace kestrum
