#include "actions/pane_width_reset.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace kestrum {
namespace {

// How long the pane is given to show its new width, and how often it is
// looked at meanwhile.
constexpr std::chrono::milliseconds kWidthSeenWithin{1000};
constexpr std::chrono::milliseconds kWidthLookedAtEvery{15};

// Sums and differences of coordinates, pinned to the 32-bit range.
std::int32_t Pinned(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t Difference(std::int32_t high, std::int32_t low) { return Pinned(std::int64_t{high} - low); }

// The pane's rectangle as it is placed: in its parent's client coordinates,
// left and right in logical order (a child window is placed there, not in
// screen coordinates; in a mirrored parent the pane's logical left is its
// right edge on screen, and placing it by the other edge would make it jump
// by its width). nullopt when the pane or its parent is gone.
std::optional<Rect> Placed(WindowSystem& system, WindowHandle pane, WindowHandle parent) {
    Rect rect;
    if (!system.ReadWindowRect(pane, rect)) return std::nullopt;
    if (parent != 0 && !system.MapRectToClient(parent, rect)) return std::nullopt;
    return rect;
}

}  // namespace

ResetOutcome ResetPaneWidth(WindowSystem& system, Clock& clock, WindowHandle pane,
                            std::int16_t width) {
    Rect rect;
    if (!system.ReadWindowRect(pane, rect)) {
        // The pane is gone since the list was built: moving it to 0,0 with no
        // height would be wrong for any window that might take its handle.
        return ResetOutcome::PaneGone;
    }
    // The width is in the pixels of a DPI-unaware program, the rectangle in
    // the pane's own: compared and set in the pane's.
    const std::int32_t paneWidth = system.FromUnawarePixels(pane, width);
    if (Difference(rect.right, rect.left) == paneWidth) return ResetOutcome::AlreadyThatWide;

    const WindowHandle parent = system.ParentOf(pane);
    Rect place = rect;
    if (parent != 0 && !system.MapRectToClient(parent, place)) return ResetOutcome::PaneGone;
    const std::int32_t height = Difference(rect.bottom, rect.top);
    switch (system.MoveWindow(pane, place.left, place.top, paneWidth, height)) {
        case MoveResult::Refused: return ResetOutcome::Refused;
        case MoveResult::Failed: return ResetOutcome::PaneGone;
        case MoveResult::Posted: break;
    }

    // The move reaches the pane through its client's queue. The window
    // manager takes a negative width as none.
    const Rect wanted{place.left, place.top,
                      Pinned(std::int64_t{place.left} + std::max<std::int32_t>(paneWidth, 0)),
                      Pinned(std::int64_t{place.top} + height)};
    const std::chrono::milliseconds end = clock.Now() + kWidthSeenWithin;
    for (;;) {
        const std::optional<Rect> now = Placed(system, pane, parent);
        if (!now) return ResetOutcome::PaneGone;
        if (*now == wanted) return ResetOutcome::Moved;
        const std::chrono::milliseconds left = end - clock.Now();
        if (left <= std::chrono::milliseconds::zero()) break;
        clock.Pause(std::min(left, kWidthLookedAtEvery));
    }
    switch (system.AskIfAnswering(pane)) {
        case Reply::NoWindow: return ResetOutcome::PaneGone;
        case Reply::NoAnswer: return ResetOutcome::NotAnswering;
        case Reply::Answered: break;
    }
    return ResetOutcome::NotTaken;
}

}  // namespace kestrum
