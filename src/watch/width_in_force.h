// The width the watch gives, where it came from, and the user's own width
// noticed on the panes the watch set. A pane set is looked at when the user
// may have changed it (the focus moved, the mouse was let go, it stopped
// moving): a width it has that the watch did not give it, shown and from 1 to
// 32767 in the pixels of a DPI-unaware program, becomes the user's, kept in
// the user's store at once and in force for every pane set afterwards. The
// width in force itself is never taken: it is the watch's own (a client that
// answers late takes it late). A look costs one call per pane set while
// nothing changed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "log/run_log.h"
#include "startup/policies.h"
#include "winsys/timers.h"
#include "winsys/user_width_store.h"
#include "winsys/window_system.h"

namespace kestrum {

struct WidthChoice {
    std::int16_t width;
    Source from;
};

class WidthInForce {
public:
    // `withoutUsers`: what forgetting the user's width brings back. `store`
    // null: no width is taken (a policy's width in force, memory off).
    // `log` may be null.
    WidthInForce(WindowSystem& system, Timers& timers, WidthChoice inForce, WidthChoice withoutUsers,
                 UserWidthStore* store, RunLog* log);
    WidthInForce(const WidthInForce&) = delete;
    WidthInForce& operator=(const WidthInForce&) = delete;

    std::int16_t Width() const { return inForce_.width; }
    Source From() const { return inForce_.from; }

    // A pane the watch set, seen `width` wide (its own pixels): looked at from
    // now on, until it is gone or Unset (never where no width is taken).
    void Set(WindowHandle pane, std::int32_t width);
    void Unset(WindowHandle pane);
    // Each pane set is looked at.
    void Look();
    // One pane set moved: looked at once it has kept still a moment (a drag
    // moves it many times); other windows cost nothing.
    void Moved(WindowHandle pane);
    // While not taking, a pane's new width is noted and not taken, and no
    // timer runs; taking again, the widths the panes have then are their
    // own, not the user's.
    void Take(bool taking);
    // Back to the width without the user's; false when the user's was not
    // in force.
    bool Forget();

    // The panes set, for hearing their moves; those gone are dropped, one
    // call each.
    std::vector<WindowHandle> Panes() const;
    void DropGone();
    std::size_t Remembered() const { return known_.size(); }

    // The width in force changed: the user's taken or forgotten.
    std::function<void()> changed;
    // A pane set came or went.
    std::function<void()> panesChanged;

private:
    // False when the pane is gone.
    bool LookAt(WindowHandle pane, std::int32_t& known);
    void Keep(std::int32_t width);
    void Log(const std::string& message);

    WindowSystem& system_;
    WidthChoice inForce_;
    WidthChoice withoutUsers_;
    UserWidthStore* store_;
    RunLog* log_;
    bool taking_ = true;
    OneShotTimer stillAfterMove_;
    std::map<WindowHandle, std::int32_t> known_;  // the width each pane set was last seen with
};

}  // namespace kestrum
