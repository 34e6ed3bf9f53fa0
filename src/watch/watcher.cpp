#include "watch/watcher.h"

#include <algorithm>
#include <vector>

#include "discovery/window_discovery.h"
#include "log/log_lines.h"

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
constexpr std::string_view kGoneMoving = "gone while it still moved, over a minute after it appeared";

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

Watcher::Watcher(WindowSystem& system, Timers& timers, WatchSettings settings, RunLog* log)
    : system_(system),
      timers_(timers),
      settings_(settings),
      log_(log),
      tick_(timers),
      width_(system, timers, {settings.width, settings.widthFrom},
             settings.widthFrom == Source::UserWidth ? settings.withoutUsers
                                                     : WidthChoice{settings.width, settings.widthFrom},
             settings.userWidths, log) {
    width_.changed = [this] {
        if (changed) changed();
    };
    width_.panesChanged = [this] {
        if (panesSetChanged) panesSetChanged(width_.Panes());
    };
}

void Watcher::Start() {
    for (const WindowHandle client : FindClients(system_)) ClientAppeared(client);
}

void Watcher::OnWindowEvent(WindowEvent event, WindowHandle window) {
    if (ended_) return;
    switch (event) {
        case WindowEvent::Focused:
        case WindowEvent::CaptureEnded:
            // The user may be done giving a pane set another width: no call
            // at all for the window itself.
            width_.Look();
            return;
        case WindowEvent::Placed: width_.Moved(window); return;
        default: break;
    }
    if (event == WindowEvent::Created) {
        // One call for any window, and a handle made anew is a new window,
        // whatever the one that had it before was.
        const std::optional<WindowKind> kind = KindOf(system_, window);
        if (kind) handled_.erase(window);
        if (kind == WindowKind::Client) {
            troubledClients_.erase(window);
            ClientAppeared(window);
        } else if (kind == WindowKind::Pane) {
            waiting_.erase(window);
            const WindowHandle client = system_.RootOf(window);
            if (client != 0 && client != window && KindOf(system_, client) == WindowKind::Client) {
                PaneAppeared(window, client);
            }
        }
        return;
    }
    // Shown or restored: the window or one it lies in may hold panes shown
    // only now. Two calls for a window outside any client.
    const WindowHandle root = system_.RootOf(window);
    if (root != 0 && KindOf(system_, root) == WindowKind::Client) ClientAppeared(root);
}

bool Watcher::End(WatchEnd why) {
    if (ended_) return false;
    ended_ = true;
    tick_.Stop();
    width_.Take(false);
    waiting_.clear();
    for (RunningReset& running : resets_) {
        running.reset.Cancel();
        Log(ClientAndPane(running.client, running.title, running.pane) + ": " + std::to_string(running.widthBefore) +
            ", width " + std::to_string(running.width.width) + " asked but not yet seen");
    }
    resets_.clear();
    if (log_ != nullptr) log_->Tell(why);
    return true;
}

void Watcher::ClientAppeared(WindowHandle client) {
    Forget();
    for (const WindowHandle pane : FindPanes(system_, client)) PaneAppeared(pane, client);
}

void Watcher::PaneAppeared(WindowHandle pane, WindowHandle client) {
    if (handled_.contains(pane) || Setting(pane)) return;
    if (paused_) {
        handled_.insert(pane);  // left alone
        return;
    }
    // Looked at once the window manager is done with the events at hand: a
    // client often shows its window right after making it. One that waits
    // already is looked at again now (it was shown, or its client restored).
    const milliseconds now = timers_.Now();
    if (const auto found = waiting_.find(pane); found != waiting_.end()) {
        found->second.due = now;
    } else {
        waiting_.emplace(pane, WaitingPane{.client = client, .since = now, .stableSince = now, .hiddenSince = now, .due = now});
    }
    LookAt(now);
}

void Watcher::LookAt(milliseconds at) {
    if (tick_.Running() && tickAt_ <= at) return;
    tickAt_ = at;
    tick_.Start(std::max(at - timers_.Now(), milliseconds::zero()), [this] { Step(); });
}

void Watcher::Step() {
    const milliseconds now = timers_.Now();
    std::vector<std::pair<WindowHandle, WaitingPane>> settled;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (it->second.due > now) {
            ++it;
            continue;
        }
        switch (Look(it->first, it->second, now)) {
            case LookResult::Waits: ++it; break;
            case LookResult::Settled:
                settled.emplace_back(*it);
                it = waiting_.erase(it);
                break;
            case LookResult::Dropped: it = waiting_.erase(it); break;
        }
    }
    for (const auto& [pane, waiting] : settled) Settled(pane, waiting);
    if (waiting_.empty()) return;
    const auto next = std::min_element(waiting_.begin(), waiting_.end(),
                                       [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
    LookAt(next->second.due);
}

Watcher::LookResult Watcher::Look(WindowHandle pane, WaitingPane& waiting, milliseconds now) {
    const bool late = now - waiting.since > kShownWithin;
    if (!system_.IsVisible(pane) || system_.IsMinimized(waiting.client)) {
        // One call a look while it stays hidden; whether it is there at all
        // is asked once it was seen, and at the end of its minute (a handle
        // made anew comes with its creation, which starts its wait again).
        const bool gone = (waiting.seen || late) && !system_.IsWindow(pane);
        if (late && gone && waiting.seen) GiveUp(pane, waiting, kGoneMoving);
        if (late && !gone) GiveUp(pane, waiting, "not shown within a minute, given up");
        if (gone || late) return LookResult::Dropped;
        if (waiting.seen) waiting.hiddenSince = now;
        waiting.seen = false;
        waiting.due = NextOnGrid(now, HiddenLookEvery(now - waiting.hiddenSince));
        return LookResult::Waits;
    }
    Rect place;
    if (!system_.ReadWindowRect(pane, place)) {
        if (late) GiveUp(pane, waiting, kGoneMoving);
        return LookResult::Dropped;
    }
    if (!waiting.seen || !(place == waiting.place)) {
        waiting.seen = true;
        waiting.place = place;
        waiting.stableSince = now;
    }
    const milliseconds stable = now - waiting.stableSince;
    if (stable >= settings_.settle) return LookResult::Settled;
    // Looked at again at the end of its settling time at the latest.
    waiting.due = late ? NextOnGrid(now, kMovingLookEvery) : now + std::min(kLookEvery, settings_.settle - stable);
    return LookResult::Waits;
}

void Watcher::GiveUp(WindowHandle pane, const WaitingPane& waiting, std::string_view why) {
    Log(ClientAndPane(waiting.client, system_.WindowText(waiting.client), pane) + ": " + std::string(why));
}

void Watcher::Settled(WindowHandle pane, const WaitingPane& waiting) {
    // Only a client's only pane: with several there is no telling which.
    const std::vector<WindowHandle> panes = FindPanes(system_, waiting.client);
    if (panes.size() != 1 || panes.front() != pane) {
        if (panes.size() > 1) LeaveSeveralAlone(waiting.client, pane);
        handled_.insert(pane);
        return;
    }
    SetWidth(pane, waiting.client, WidthOf(waiting.place));
}

void Watcher::ApplyNow() {
    if (ended_) return;
    Forget();
    for (const WindowHandle client : FindClients(system_)) {
        const std::vector<WindowHandle> panes = FindPanes(system_, client);
        if (panes.size() > 1) LeaveSeveralAlone(client, panes.front());
        Rect place;
        if (panes.size() != 1 || Setting(panes.front()) || !system_.ReadWindowRect(panes.front(), place)) continue;
        waiting_.erase(panes.front());
        SetWidth(panes.front(), client, WidthOf(place));
    }
}

void Watcher::Pause(bool paused) {
    if (ended_ || paused == paused_) return;
    paused_ = paused;
    if (paused) {
        // What waits now is left alone.
        for (const auto& [pane, waiting] : waiting_) handled_.insert(pane);
        waiting_.clear();
        tick_.Stop();
    }
    width_.Take(!paused);
    Log(paused ? "paused" : "no longer paused");
    if (changed) changed();
}

void Watcher::LeaveSeveralAlone(WindowHandle client, WindowHandle pane) {
    if (log_ != nullptr) log_->Tell(SeveralPanes{client, system_.WindowText(client), pane});
    Trouble(client, PaneTrouble::SeveralPanes);
}

bool Watcher::Setting(WindowHandle pane) const {
    return std::any_of(resets_.begin(), resets_.end(), [pane](const RunningReset& r) { return r.pane == pane; });
}

void Watcher::SetWidth(WindowHandle pane, WindowHandle client, std::int32_t widthBefore) {
    // Its width changes now by the watch's own doing, not the user's.
    width_.Unset(pane);
    const WidthChoice width{width_.Width(), width_.From()};
    resets_.emplace_back(pane, client, system_.WindowText(client), widthBefore, width, system_, timers_);
    const auto reset = std::prev(resets_.end());
    reset->reset.Start(pane, width.width, [this, reset](const ResetReport& report) { ResetDone(reset, report); });
}

void Watcher::ResetDone(std::list<RunningReset>::iterator reset, const ResetReport& report) {
    if (log_ != nullptr) {
        log_->Tell(PaneOutcome{reset->client, reset->title, report, reset->width.width, reset->width.from});
    }
    handled_.insert(reset->pane);
    switch (report.outcome) {
        case ResetOutcome::Refused: Trouble(reset->client, PaneTrouble::HigherRights); break;
        case ResetOutcome::PaneGone: break;
        case ResetOutcome::NotAnswering:
            Trouble(reset->client, PaneTrouble::NotAnswering);
            [[fallthrough]];
        default:
            // A width the user gives it from now on is the user's.
            width_.Set(reset->pane, report.widthAfter);
            break;
    }
    // The reset is done with itself: nothing of it runs after this call.
    resets_.erase(reset);
}

void Watcher::Trouble(WindowHandle client, PaneTrouble trouble) {
    if (troubledClients_.insert(client).second && troubled) troubled(trouble);
}

void Watcher::Log(const std::string& line) {
    if (log_ != nullptr) log_->Write(line);
}

void Watcher::Forget() {
    // Now and then, not at every client: what is kept stays within twice
    // the panes alive (and a few), at a cost spread over the clients.
    if (handled_.size() < 2 * handledAtLastForget_ + 16) return;
    std::erase_if(handled_, [this](WindowHandle pane) { return !system_.IsWindow(pane); });
    std::erase_if(troubledClients_, [this](WindowHandle client) { return !system_.IsWindow(client); });
    width_.DropGone();
    handledAtLastForget_ = handled_.size();
}

}  // namespace kestrum
