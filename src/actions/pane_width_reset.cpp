#include "actions/pane_width_reset.h"

#include <algorithm>
#include <optional>

#include "winsys/pixels.h"

namespace kestrum {
namespace {

// How long the pane is given to show its new width, and how often it is
// looked at meanwhile.
constexpr std::chrono::milliseconds kWidthSeenWithin{1000};
constexpr std::chrono::milliseconds kWidthLookedAtEvery{15};

// The pane's rectangle as it is placed: in its parent's client coordinates,
// left and right in logical order (in a mirrored parent the pane's logical
// left is its right edge on screen). A top-level pane keeps screen
// coordinates. nullopt when the pane or its parent is gone.
std::optional<Rect> PlaceInParent(WindowSystem& system, WindowHandle pane, WindowHandle parent) {
    Rect rect;
    if (!system.ReadWindowRect(pane, rect)) return std::nullopt;
    if (parent != 0 && !system.MapRectToClient(parent, rect)) return std::nullopt;
    return rect;
}

}  // namespace

ResetOutcome ResetPaneWidth(WindowSystem& system, Clock& clock, WindowHandle pane,
                            std::int16_t width) {
    // A pane gone since the list was built is not moved: moving it to 0,0
    // with no height would be wrong for any window that took its handle.
    const WindowHandle parent = system.ParentOf(pane);
    const std::optional<Rect> place = PlaceInParent(system, pane, parent);
    if (!place) return ResetOutcome::PaneGone;
    // The width is in the pixels of a DPI-unaware program, the rectangle in
    // the pane's own: compared and set in the pane's.
    const std::int32_t paneWidth = system.FromUnawarePixels(pane, width);
    if (ClampToInt32(std::int64_t{place->right} - place->left) == paneWidth) {
        return ResetOutcome::AlreadyThatWide;
    }
    const std::int32_t height = ClampToInt32(std::int64_t{place->bottom} - place->top);
    switch (system.MoveWindow(pane, place->left, place->top, paneWidth, height)) {
        case MoveResult::Refused: return ResetOutcome::Refused;
        case MoveResult::Failed: return ResetOutcome::PaneGone;
        case MoveResult::Posted: break;
    }

    // The move reaches the pane through its client's queue. The window
    // manager takes a negative width as none.
    const Rect wanted{place->left, place->top,
                      ClampToInt32(std::int64_t{place->left} + std::max<std::int32_t>(paneWidth, 0)),
                      ClampToInt32(std::int64_t{place->top} + height)};
    const std::chrono::milliseconds end = clock.Now() + kWidthSeenWithin;
    for (;;) {
        const std::optional<Rect> now = PlaceInParent(system, pane, parent);
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
