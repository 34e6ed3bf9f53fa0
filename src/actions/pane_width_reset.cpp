#include "actions/pane_width_reset.h"

#include <algorithm>
#include <limits>

namespace kestrum {
namespace {

std::int32_t Difference(std::int32_t high, std::int32_t low) {
    const std::int64_t d = std::int64_t{high} - low;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        d, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

ResetOutcome ResetPaneWidth(WindowSystem& system, WindowHandle pane, std::int16_t width) {
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

    // A child window is placed in its parent's client coordinates, not in
    // screen coordinates. The whole rectangle is converted: in a mirrored
    // parent the pane's logical left is its right edge on screen, and placing
    // it by the other edge would make it jump by its width.
    Rect place = rect;
    if (const WindowHandle parent = system.ParentOf(pane); parent != 0) {
        if (!system.MapRectToClient(parent, place)) return ResetOutcome::PaneGone;
    }
    system.MoveWindow(pane, place.left, place.top, paneWidth, Difference(rect.bottom, rect.top));
    return ResetOutcome::Moved;
}

}  // namespace kestrum
