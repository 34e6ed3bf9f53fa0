// The resident watch's logic: every client's pane set once each time it
// appears, on window events and timer steps, never waiting on a client.
//
// A window event is only a hint: what it names is looked at (its class, its
// place), at most two calls for a window that is neither a client nor a
// pane. A pane that appears waits until it is shown (its client not
// minimized) and has kept its place and size for the settling time (clients
// lay their panes out again shortly after making them); then, if it is its
// client's only pane, the width is set with the button's own action. A pane
// that is shown is looked at every 50 ms; one that is not, less and less
// often (down to once in two seconds, every hidden pane at the same
// moment), for a minute; one still moving after that minute, once a second
// until it rests or goes. A show or a restore, where the window manager
// reports it, brings a look at once. A timer runs only while a pane waits
// or a width is being confirmed: with nothing appearing, the watch makes no
// call at all. A pane once set, or left alone, is not set again for as long
// as it lives, whatever width it is given later; a width the user gives it
// becomes the user's own (WidthInForce), noticed when the focus moves, the
// mouse is let go or a pane set stops moving.
//
// From its icon the watch is paused (panes that appear meanwhile are left
// alone, and no width is taken), told to set every client's only pane now,
// or to forget the user's width. A pane it cannot set for a reason the user
// can act on is told once each time its client appears.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "actions/pane_width_reset.h"
#include "log/run_log.h"
#include "watch/pane_trouble.h"
#include "watch/watch_end.h"
#include "watch/width_in_force.h"
#include "winsys/timers.h"
#include "winsys/window_events.h"
#include "winsys/window_system.h"

namespace kestrum {

struct WatchSettings {
    std::int16_t width;
    std::chrono::milliseconds settle;
    Source widthFrom = Source::Given;
    // Where a width the user gives a pane is kept (null: none is taken), and
    // what forgetting it brings back when `width` is the user's.
    UserWidthStore* userWidths = nullptr;
    WidthChoice withoutUsers{kDefaultWidth, Source::Given};
};

class Watcher {
public:
    // `log` may be null.
    Watcher(WindowSystem& system, Timers& timers, WatchSettings settings, RunLog* log);
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    // The clients already there.
    void Start();
    // A window event, as the window manager reported it.
    void OnWindowEvent(WindowEvent event, WindowHandle window);
    // The watch ends: each width still being confirmed is logged as not yet
    // seen, then why the watch ended, and nothing more runs. True the first
    // time; later, nothing is done or logged, and false.
    bool End(WatchEnd why);

    // The icon's choices. Applying now sets the only pane of every client
    // there now to the width in force (a pane settling is set at once).
    void ApplyNow();
    void Pause(bool paused);
    bool Paused() const { return paused_; }
    void ForgetUserWidth() { width_.Forget(); }
    const WidthInForce& Width() const { return width_; }

    // The width in force, or the pause, changed.
    std::function<void()> changed;
    // A pane could not be set: once each time its client appears.
    std::function<void(PaneTrouble)> troubled;
    // The panes set came or went: their clients' moves are worth hearing.
    std::function<void(const std::vector<WindowHandle>&)> panesSetChanged;

    // What the watch holds, for tests and measurements.
    std::size_t Waiting() const { return waiting_.size(); }
    std::size_t Remembered() const {
        return handled_.size() + resets_.size() + width_.Remembered() + troubledClients_.size();
    }

private:
    struct WaitingPane {
        WindowHandle client = 0;
        std::chrono::milliseconds since{0};        // appeared
        std::chrono::milliseconds stableSince{0};  // last changed place or size
        std::chrono::milliseconds hiddenSince{0};  // hidden since (or appeared, if never shown)
        std::chrono::milliseconds due{0};          // looked at next
        bool seen = false;                         // shown, with its place read
        Rect place;
    };
    struct RunningReset {
        RunningReset(WindowHandle pane, WindowHandle client, std::string title, std::int32_t widthBefore,
                     WidthChoice width, WindowSystem& system, Timers& timers)
            : pane(pane),
              client(client),
              title(std::move(title)),
              widthBefore(widthBefore),
              width(width),
              reset(system, timers) {}
        WindowHandle pane;
        WindowHandle client;
        std::string title;  // as it was when the width was set: the client may be gone by the report
        std::int32_t widthBefore;
        WidthChoice width;  // asked, and where it came from
        PaneWidthReset reset;
    };
    enum class LookResult { Waits, Settled, Dropped };

    void ClientAppeared(WindowHandle client);
    void PaneAppeared(WindowHandle pane, WindowHandle client);
    void Step();
    LookResult Look(WindowHandle pane, WaitingPane& waiting, std::chrono::milliseconds now);
    // The next step at `at` at the latest.
    void LookAt(std::chrono::milliseconds at);
    void GiveUp(WindowHandle pane, const WaitingPane& waiting, std::string_view why);
    void Settled(WindowHandle pane, const WaitingPane& waiting);
    void LeaveSeveralAlone(WindowHandle client, WindowHandle pane);
    void SetWidth(WindowHandle pane, WindowHandle client, std::int32_t widthBefore);
    bool Setting(WindowHandle pane) const;
    void ResetDone(std::list<RunningReset>::iterator reset, const ResetReport& report);
    void Trouble(WindowHandle client, PaneTrouble trouble);
    // Drops what is remembered of windows that are gone.
    void Forget();
    void Log(const std::string& line);

    WindowSystem& system_;
    Timers& timers_;
    WatchSettings settings_;
    RunLog* log_;
    OneShotTimer tick_;
    std::chrono::milliseconds tickAt_{0};
    bool ended_ = false;
    bool paused_ = false;
    WidthInForce width_;
    std::map<WindowHandle, WaitingPane> waiting_;
    // Panes set or left alone, each until it is gone.
    std::set<WindowHandle> handled_;
    std::list<RunningReset> resets_;
    // Clients told of, each until it appears anew or is gone.
    std::set<WindowHandle> troubledClients_;
    std::size_t handledAtLastForget_ = 0;
};

}  // namespace kestrum
