#include "watch/pane_waits.h"

#include <algorithm>

namespace kestrum {
namespace {

using std::chrono::milliseconds;

// How often a pane that is shown is looked at while it settles; how long
// one is waited for to be shown (and its client restored) before it is
// given up until it appears again; and how often one still moving after
// that is looked at.
constexpr milliseconds kLookEvery{50};
constexpr milliseconds kShownWithin{60'000};
constexpr milliseconds kMovingLookEvery{1'000};

// How often a pane that is not shown is looked at: often at first (a client
// usually shows its window right after making it), then less and less.
milliseconds HiddenLookEvery(milliseconds hiddenFor) {
    if (hiddenFor < milliseconds(1'000)) return milliseconds(50);
    if (hiddenFor < milliseconds(5'000)) return milliseconds(250);
    if (hiddenFor < milliseconds(15'000)) return milliseconds(1'000);
    return milliseconds(2'000);
}

// The next multiple of `every` after `now`: panes looked at equally often
// are looked at together, however many there are.
milliseconds NextOnGrid(milliseconds now, milliseconds every) { return (now / every + 1) * every; }

}  // namespace

void PaneWaits::Add(WindowHandle pane, WindowHandle client, milliseconds now) {
    if (const auto found = waiting_.find(pane); found != waiting_.end()) {
        found->second.due = now;
        return;
    }
    waiting_.emplace(pane, Waiting{.client = client, .since = now, .stableSince = now, .hiddenSince = now, .due = now});
}

std::vector<WindowHandle> PaneWaits::Panes() const {
    std::vector<WindowHandle> panes;
    for (const auto& [pane, waiting] : waiting_) panes.push_back(pane);
    return panes;
}

WindowHandle PaneWaits::ClientOf(WindowHandle pane) const {
    const auto found = waiting_.find(pane);
    return found == waiting_.end() ? 0 : found->second.client;
}

std::vector<WindowHandle> PaneWaits::Due(milliseconds now) const {
    std::vector<WindowHandle> due;
    for (const auto& [pane, waiting] : waiting_) {
        if (waiting.due <= now) due.push_back(pane);
    }
    return due;
}

std::optional<milliseconds> PaneWaits::NextLook() const {
    if (waiting_.empty()) return std::nullopt;
    return std::min_element(waiting_.begin(), waiting_.end(), [](const auto& a, const auto& b) {
               return a.second.due < b.second.due;
           })->second.due;
}

PaneWaits::Look PaneWaits::Ends(WindowHandle pane, Verdict verdict, PaneGivenUp::Why why) {
    const auto found = waiting_.find(pane);
    const Look look{verdict, found->second.client, found->second.place, why};
    waiting_.erase(found);
    return look;
}

PaneWaits::Look PaneWaits::LookedHidden(WindowHandle pane, milliseconds now, const std::function<bool()>& there) {
    Waiting& waiting = waiting_.at(pane);
    const bool late = now - waiting.since > kShownWithin;
    // Whether it is there at all is asked once it was seen, and at the end of
    // its minute: a handle made anew comes with its creation, which starts
    // its wait again.
    const bool gone = (waiting.seen || late) && !there();
    if (late && !gone) return Ends(pane, Verdict::GivenUp, PaneGivenUp::Why::NotShown);
    if (late && waiting.seen) return Ends(pane, Verdict::GivenUp, PaneGivenUp::Why::GoneMoving);
    if (gone || late) return Ends(pane, Verdict::Dropped);
    if (waiting.seen) waiting.hiddenSince = now;
    waiting.seen = false;
    waiting.due = NextOnGrid(now, HiddenLookEvery(now - waiting.hiddenSince));
    return {Verdict::Waits, waiting.client};
}

PaneWaits::Look PaneWaits::LookedShown(WindowHandle pane, std::optional<Rect> place, milliseconds now) {
    Waiting& waiting = waiting_.at(pane);
    const bool late = now - waiting.since > kShownWithin;
    if (!place) return late ? Ends(pane, Verdict::GivenUp, PaneGivenUp::Why::GoneMoving) : Ends(pane, Verdict::Dropped);
    if (!waiting.seen || !(*place == waiting.place)) {
        waiting.seen = true;
        waiting.place = *place;
        waiting.stableSince = now;
    }
    const milliseconds stable = now - waiting.stableSince;
    if (stable >= settle_) return Ends(pane, Verdict::Settled);
    // Looked at again at the end of its settling time at the latest.
    waiting.due = late ? NextOnGrid(now, kMovingLookEvery) : now + std::min(kLookEvery, settle_ - stable);
    return {Verdict::Waits, waiting.client};
}

}  // namespace kestrum
