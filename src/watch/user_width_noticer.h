// The width a user gives a pane the watch set, kept as the user's own
// (WidthInForce). Only the user's own hand makes it: a width the pane has at
// the end of a mouse capture (a drag of its splitter) taken by a window of
// its client's own thread, the client's top-level window having kept its
// place and size throughout, the pane shown and its client not minimized;
// or a width set with Kestrum's window. Nothing else is the user's: the
// client's own layout, a restore, a change of scale, a clamp, another
// program's move, a width the watch queued that a late client takes. Moves
// are heard only from a capture's start to its end, and only in that
// client's program.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "watch/watch_listener.h"
#include "watch/width_in_force.h"
#include "winsys/window_events.h"
#include "winsys/window_system.h"

namespace kestrum {

class UserWidthNoticer {
public:
    // `listener` (may be null) hears of each width kept.
    UserWidthNoticer(WindowSystem& system, WindowEvents& events, WidthInForce& width, WatchListener* listener)
        : system_(system), events_(events), width_(width), listener_(listener) {}

    // A pane the watch set, in `client`: a width the user gives it from now
    // on is the user's, where a user's width may be kept at all.
    void Follow(WindowHandle pane, WindowHandle client);
    // Its width changes now by the watch's own doing.
    void Unfollow(WindowHandle pane) { followed_.erase(pane); }
    // A capture's start or end, or a move heard during a capture.
    void Heard(WindowEvent event, WindowHandle window);
    // The user gave a pane set this width (a DPI-unaware program's pixels)
    // with Kestrum's window.
    void UserSet(WindowHandle pane, std::int32_t width);
    // While paused, nothing is kept.
    void Pause(bool paused);
    // Drops the panes gone, one call each.
    void DropGone();
    std::size_t Count() const { return followed_.size(); }

private:
    struct Drag {
        WindowHandle client = 0;
        Rect frame;                                   // the client's top-level window at the start
        bool frameMoved = false;
        std::map<WindowHandle, std::int32_t> widths;  // each pane set, at the start
    };
    void Started(WindowHandle window);
    void Ended(WindowHandle window);
    void Kept(std::int32_t width);
    void StopHearingMoves();

    WindowSystem& system_;
    WindowEvents& events_;
    WidthInForce& width_;
    WatchListener* listener_;
    bool paused_ = false;
    std::map<WindowHandle, WindowHandle> followed_;  // each pane set, and its client
    std::optional<Drag> drag_;
};

}  // namespace kestrum
