#include "watch/watcher.h"

#include <algorithm>
#include <vector>

#include "discovery/window_discovery.h"
#include "log/log_text.h"

namespace kestrum {
namespace {

// How often a waiting pane is looked at; and how long one that is not shown
// waits before it is dropped (until it appears again).
constexpr std::chrono::milliseconds kLookEvery{50};
constexpr std::chrono::milliseconds kShownWithin{60'000};

}  // namespace

Watcher::Watcher(WindowSystem& system, Timers& timers, WatchSettings settings, RunLog* log)
    : system_(system), timers_(timers), settings_(settings), log_(log), tick_(timers) {}

void Watcher::Start() {
    for (const WindowHandle client : FindClients(system_)) ClientAppeared(client);
}

void Watcher::OnWindowEvent(WindowEvent event, WindowHandle window) {
    if (event == WindowEvent::Created) {
        // One call for any window, and a handle made anew is a new window,
        // whatever the one that had it before was.
        const std::string className = system_.ClassName(window);
        if (IsClientClass(className)) {
            handled_.erase(window);
            ClientAppeared(window);
        } else if (IsPaneClass(className)) {
            handled_.erase(window);
            const WindowHandle client = system_.RootOf(window);
            if (client != 0 && client != window && IsClient(system_, client)) PaneAppeared(window, client);
        }
        return;
    }
    // Shown: the window or one it lies in may hold panes shown only now. Two
    // calls for a window outside any client.
    const WindowHandle root = system_.RootOf(window);
    if (root != 0 && IsClient(system_, root)) ClientAppeared(root);
}

void Watcher::ClientAppeared(WindowHandle client) {
    Forget();
    for (const WindowHandle pane : FindPanes(system_, client)) PaneAppeared(pane, client);
}

void Watcher::PaneAppeared(WindowHandle pane, WindowHandle client) {
    if (handled_.contains(pane) || waiting_.contains(pane)) return;
    if (std::any_of(resets_.begin(), resets_.end(), [pane](const RunningReset& r) { return r.pane == pane; })) return;
    const std::chrono::milliseconds now = timers_.Now();
    waiting_.emplace(pane, WaitingPane{client, now, now, false, {}});
    // Looked at once the window manager is done with the events at hand: a
    // client often shows its window right after making it.
    if (!tick_.Running()) tick_.Start(std::chrono::milliseconds::zero(), [this] { Step(); });
}

void Watcher::Step() {
    const std::chrono::milliseconds now = timers_.Now();
    std::chrono::milliseconds next = kLookEvery;
    std::vector<std::pair<WindowHandle, WaitingPane>> settled;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        const WindowHandle pane = it->first;
        WaitingPane& waiting = it->second;
        Rect place;
        if (now - waiting.since > kShownWithin || !system_.IsVisible(pane)) {
            const bool keep = now - waiting.since <= kShownWithin && system_.IsWindow(pane);
            waiting.seen = false;
            it = keep ? std::next(it) : waiting_.erase(it);
            continue;
        }
        if (!system_.ReadWindowRect(pane, place)) {
            it = waiting_.erase(it);
            continue;
        }
        if (!waiting.seen || !(place == waiting.place)) {
            waiting.seen = true;
            waiting.place = place;
            waiting.stableSince = now;
        }
        const std::chrono::milliseconds stable = now - waiting.stableSince;
        if (stable >= settings_.settle) {
            settled.emplace_back(pane, waiting);
            it = waiting_.erase(it);
            continue;
        }
        // Looked at again at the end of its settling time at the latest.
        next = std::min(next, settings_.settle - stable);
        ++it;
    }
    for (const auto& [pane, waiting] : settled) Settled(pane, waiting);
    if (!waiting_.empty() && !tick_.Running()) tick_.Start(next, [this] { Step(); });
}

void Watcher::Settled(WindowHandle pane, const WaitingPane& waiting) {
    // Only a client's only pane: with several there is no telling which.
    const std::vector<WindowHandle> panes = FindPanes(system_, waiting.client);
    if (panes.size() != 1 || panes.front() != pane) {
        if (panes.size() > 1) {
            Log("client " + std::to_string(waiting.client) + " \"" + EscapedForLog(system_.WindowText(waiting.client)) +
                "\", pane " + std::to_string(pane) + ": several panes, left alone");
        }
        handled_.insert(pane);
        return;
    }
    resets_.emplace_back(pane, waiting.client, system_, timers_);
    const auto reset = std::prev(resets_.end());
    reset->reset.Start(pane, settings_.width, [this, reset](const ResetReport& report) { ResetDone(reset, report); });
}

void Watcher::ResetDone(std::list<RunningReset>::iterator reset, const ResetReport& report) {
    Log(ReportLine(report, reset->client, system_.WindowText(reset->client)));
    handled_.insert(reset->pane);
    // The reset is done with itself: nothing of it runs after this call.
    resets_.erase(reset);
}

void Watcher::Forget() {
    // Now and then, not at every client: what is kept stays within twice
    // the panes alive (and a few), at a cost spread over the clients.
    if (handled_.size() < 2 * handledAtLastForget_ + 16) return;
    std::erase_if(handled_, [this](WindowHandle pane) { return !system_.IsWindow(pane); });
    handledAtLastForget_ = handled_.size();
}

void Watcher::Log(const std::string& message) {
    if (log_ != nullptr) log_->Write(message);
}

}  // namespace kestrum
