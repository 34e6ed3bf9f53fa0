#include "watch/watcher.h"

#include <algorithm>
#include <vector>

#include "discovery/window_discovery.h"

namespace kestrum {

using std::chrono::milliseconds;

Watcher::Watcher(WindowSystem& system, Timers& timers, WindowEvents& events, WatchSettings settings, RunLog& log,
                 WatchListener* listener)
    : system_(system), timers_(timers), events_(events), log_(log), listener_(listener), tick_(timers),
      width_(settings.width, settings.withoutUsers, settings.userWidths, log),
      waits_(settings.settle),
      resets_(system, timers, [this](const ResetsUnderWay::Asked& asked, const ResetReport& report) {
          ResetDone(asked, report);
      }),
      userWidth_(system, events, width_, listener) {}

bool Watcher::Start() {
    if (!events_.Start([this](WindowEvent event, WindowHandle window) { OnWindowEvent(event, window); })) return false;
    for (const WindowHandle client : FindClients(system_)) ClientAppeared(client);
    return true;
}

void Watcher::OnWindowEvent(WindowEvent event, WindowHandle window) {
    if (ended_) return;
    switch (event) {
        case WindowEvent::CaptureStarted:
        case WindowEvent::CaptureEnded:
        case WindowEvent::Placed: userWidth_.Heard(event, window); return;
        case WindowEvent::Created: {
            // One call for any window, and a handle made anew is a new window,
            // whatever the one that had it before was.
            const std::optional<WindowKind> kind = KindOf(system_, window);
            if (kind) handled_.erase(window);
            if (kind == WindowKind::Client) {
                told_.Appeared(window);
                ClientAppeared(window);
            } else if (kind == WindowKind::Pane) {
                waits_.Remove(window);
                const WindowHandle client = system_.RootOf(window);
                if (client != 0 && client != window && KindOf(system_, client) == WindowKind::Client) {
                    PaneAppeared(window, client);
                }
            }
            return;
        }
        case WindowEvent::Shown:
        case WindowEvent::Restored: {
            // The window or one it lies in may hold panes shown only now. Two
            // calls for a window outside any client.
            const WindowHandle root = system_.RootOf(window);
            if (root != 0 && KindOf(system_, root) == WindowKind::Client) ClientAppeared(root);
            return;
        }
    }
}

bool Watcher::End(WatchEnd why) {
    if (ended_) return false;
    ended_ = true;
    tick_.Stop();
    userWidth_.Pause(true);
    waits_.Clear();
    for (const ResetsUnderWay::Asked& a : resets_.CancelAll()) {
        log_.Tell(WidthNotYetSeen{a.client, a.title, a.pane, a.widthBefore, a.width.width});
    }
    log_.Tell(why);
    return true;
}

void Watcher::ClientAppeared(WindowHandle client) {
    DropGone();
    for (const WindowHandle pane : FindPanes(system_, client)) PaneAppeared(pane, client);
}

void Watcher::PaneAppeared(WindowHandle pane, WindowHandle client) {
    if (handled_.contains(pane) || resets_.Setting(pane)) return;
    if (paused_) return static_cast<void>(handled_.insert(pane));  // left alone
    // Looked at once the window manager is done with the events at hand: a
    // client often shows its window right after making it.
    waits_.Add(pane, client, timers_.Now());
    StepBy(timers_.Now());
}

void Watcher::StepBy(milliseconds at) {
    if (tick_.Running() && tickAt_ <= at) return;
    tickAt_ = at;
    tick_.Start(std::max(at - timers_.Now(), milliseconds::zero()), [this] { Step(); });
}

void Watcher::Step() {
    using enum PaneWaits::Verdict;
    const milliseconds now = timers_.Now();
    std::vector<std::pair<WindowHandle, PaneWaits::Look>> settled;
    for (const WindowHandle pane : waits_.Due(now)) {
        Rect place;
        const PaneWaits::Look look =
            !system_.IsVisible(pane) || system_.IsMinimized(waits_.ClientOf(pane))
                ? waits_.LookedHidden(pane, now, [this, pane] { return system_.IsWindow(pane); })
                : waits_.LookedShown(pane, system_.ReadWindowRect(pane, place) ? std::optional(place) : std::nullopt,
                                     now);
        const auto& [verdict, client, rest, why] = look;
        if (verdict == Settled) settled.emplace_back(pane, look);
        if (verdict == GivenUp) log_.Tell(PaneGivenUp{client, system_.WindowText(client), pane, why});
    }
    for (const auto& [pane, look] : settled) SetIfOnlyPane(pane, look.client, look.place);
    if (const auto next = waits_.NextLook()) StepBy(*next);
}

void Watcher::SetIfOnlyPane(WindowHandle pane, WindowHandle client, const Rect& place) {
    // Only a client's only pane: with several there is no telling which.
    const std::vector<WindowHandle> panes = FindPanes(system_, client);
    if (panes.size() != 1 || panes.front() != pane) {
        if (panes.size() > 1) LeaveSeveralAlone(client, pane);
        handled_.insert(pane);
        return;
    }
    SetWidth(pane, client, WidthOf(place));
}

void Watcher::ApplyNow() {
    if (ended_) return;
    DropGone();
    for (const WindowHandle client : FindClients(system_)) {
        const std::vector<WindowHandle> panes = FindPanes(system_, client);
        if (panes.size() > 1) LeaveSeveralAlone(client, panes.front());
        if (panes.size() != 1 || resets_.Setting(panes.front())) continue;
        // One not to be seen now (its client lays it out again when it shows
        // it) waits as a pane that appears does.
        handled_.erase(panes.front());
        waits_.Remove(panes.front());
        Rect place;
        if (!system_.IsVisible(panes.front()) || system_.IsMinimized(client)) {
            PaneAppeared(panes.front(), client);
        } else if (system_.ReadWindowRect(panes.front(), place)) {
            SetWidth(panes.front(), client, WidthOf(place));
        }
    }
}

void Watcher::Pause(bool paused) {
    if (ended_ || paused == paused_) return;
    paused_ = paused;
    if (paused) {
        // What waits now is left alone.
        for (const WindowHandle pane : waits_.Panes()) handled_.insert(pane);
        waits_.Clear();
        tick_.Stop();
    }
    userWidth_.Pause(paused);
    log_.Tell(WatchPaused{paused});
    WidthChanged();
}

void Watcher::LeaveSeveralAlone(WindowHandle client, WindowHandle pane) {
    const std::string title = system_.WindowText(client);
    if (told_.News(client, title, Told::SeveralPanes, timers_.Now())) log_.Tell(SeveralPanes{client, title, pane});
    Trouble(client, PaneTrouble::SeveralPanes);
}

void Watcher::SetWidth(WindowHandle pane, WindowHandle client, std::int32_t widthBefore) {
    userWidth_.Unfollow(pane);
    resets_.Start({pane, client, system_.WindowText(client), widthBefore, width_.Choice()});
}

void Watcher::ResetDone(const ResetsUnderWay::Asked& asked, const ResetReport& report) {
    handled_.insert(asked.pane);
    // A width set is logged each time, its event told once; trouble, told once.
    const std::optional<Told> what = ToldOf(report.outcome);
    const bool news = what && told_.News(asked.client, asked.title, *what, timers_.Now());
    if (news || what == std::nullopt || what == Told::Set) {
        log_.Tell(PaneOutcome{asked.client, asked.title, report, asked.width.width, asked.width.from, !news});
    }
    if (const std::optional<PaneTrouble> trouble = TroubleOf(report.outcome)) Trouble(asked.client, *trouble);
    // A width the user gives it from now on is the user's.
    if (what && what != Told::Refused) userWidth_.Follow(asked.pane, asked.client);
}

void Watcher::Trouble(WindowHandle client, PaneTrouble trouble) {
    if (listener_ != nullptr && told_.NoticeDue(client) && listener_->Troubled(trouble)) told_.Noticed(client);
}

void Watcher::DropGone() {
    // Now and then, not at every client: what is kept stays within twice
    // the panes alive (and a few), at a cost spread over the clients.
    if (handled_.size() < 2 * handledAtLastDrop_ + 16) return;
    std::erase_if(handled_, [this](WindowHandle pane) { return !system_.IsWindow(pane); });
    told_.DropGone(system_);
    userWidth_.DropGone();
    handledAtLastDrop_ = handled_.size();
}

}  // namespace kestrum
