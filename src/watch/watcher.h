// The resident watch: every client's pane set once each time it appears, on
// window events and timer steps, never waiting on a client. An event is only
// a hint: what it names is looked at, two calls at most for a window that is
// neither a client nor a pane. A pane that appears waits (PaneWaits) until
// shown and settled; then, if it is its client's only pane, it is set
// (ResetsUnderWay). With nothing appearing no timer runs and no call is made.
// A pane once set, or left alone, is not set again while it lives; a width
// the user gives it later is noticed (UserWidthNoticer). What went wrong is
// told (ToldMemory) in the log, the events and by the icon.
#pragma once

#include <chrono>
#include <set>

#include "log/run_log.h"
#include "watch/pane_waits.h"
#include "watch/resets_under_way.h"
#include "watch/told_memory.h"
#include "watch/user_width_noticer.h"
#include "watch/watch_listener.h"
#include "watch/width_in_force.h"

namespace kestrum {

struct WatchSettings {
    WidthChoice width;         // in force at the start
    WidthChoice withoutUsers;  // in force once the user's own is forgotten
    std::chrono::milliseconds settle;
    // Where a width the user gives a pane is kept; null: none is taken.
    UserWidthStore* userWidths = nullptr;
};

class Watcher {
public:
    // `listener` may be null.
    Watcher(WindowSystem& system, Timers& timers, WindowEvents& events, WatchSettings settings, RunLog& log,
            WatchListener* listener = nullptr);
    ~Watcher() { events_.Stop(); }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    // Hears the window events, then looks at the clients already there (no
    // client falls between the two). False when the events cannot be had.
    bool Start();
    // The watch ends: each width still being confirmed is logged as not yet
    // seen, then why the watch ended, and nothing more runs. True the first
    // time; later, nothing is done or logged, and false.
    bool End(WatchEnd why);

    // Sets the only pane of every client there now (a pane settling at once).
    void ApplyNow();
    // Panes that appear while paused are left alone, and no width is kept.
    void Pause(bool paused);
    bool Paused() const { return paused_; }
    bool Ended() const { return ended_; }
    void ForgetUserWidth() {
        if (width_.Forget()) WidthChanged();
    }
    // The user gave `pane` this width (a DPI-unaware program's pixels) with Kestrum's window.
    void UserSet(WindowHandle pane, std::int32_t width) { userWidth_.UserSet(pane, width); }
    WidthChoice Width() const { return width_.Choice(); }

    // What the watch holds, for tests and measurements.
    std::size_t Waiting() const { return waits_.Count(); }
    std::size_t Remembered() const { return handled_.size() + resets_.Count() + userWidth_.Count() + told_.Count(); }

private:
    void OnWindowEvent(WindowEvent event, WindowHandle window);
    void ClientAppeared(WindowHandle client);
    void PaneAppeared(WindowHandle pane, WindowHandle client);
    // The next step at `at` at the latest.
    void StepBy(std::chrono::milliseconds at);
    void Step();
    void SetIfOnlyPane(WindowHandle pane, WindowHandle client, const Rect& place);
    void LeaveSeveralAlone(WindowHandle client, WindowHandle pane);
    void SetWidth(WindowHandle pane, WindowHandle client, std::int32_t widthBefore);
    void ResetDone(const ResetsUnderWay::Asked& asked, const ResetReport& report);
    void Trouble(WindowHandle client, PaneTrouble trouble);
    void WidthChanged() {
        if (listener_ != nullptr) listener_->Changed();
    }
    // Drops what is remembered of windows that are gone.
    void DropGone();

    WindowSystem& system_;
    Timers& timers_;
    WindowEvents& events_;
    RunLog& log_;
    WatchListener* listener_;
    OneShotTimer tick_;
    std::chrono::milliseconds tickAt_{0};
    bool ended_ = false;
    bool paused_ = false;
    WidthInForce width_;
    PaneWaits waits_;
    ResetsUnderWay resets_;
    UserWidthNoticer userWidth_;
    // Panes set or left alone, each until it is gone.
    std::set<WindowHandle> handled_;
    ToldMemory told_;
    std::size_t handledAtLastDrop_ = 0;
};

}  // namespace kestrum
