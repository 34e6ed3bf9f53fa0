#include "actions/pane_width_reset.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace kestrum {
namespace {

constexpr std::string_view kNoPaneMessage = "NavPane was not found";

std::int32_t Difference(std::int32_t high, std::int32_t low) {
    const std::int64_t d = std::int64_t{high} - low;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        d, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

ResetOutcome ResetPaneWidth(WindowSystem& system, MessageBoxes& boxes, const WindowList& panes,
                            std::int16_t width) {
    if (panes.ListCount() <= 0) {
        boxes.Show(kNoPaneMessage);
        return ResetOutcome::NoPaneListed;
    }
    const WindowHandle pane = panes.ItemData(0);

    Rect rect;
    if (!system.ReadWindowRect(pane, rect)) {
        // The pane is gone since the list was built: moving it to 0,0 with no
        // height would be wrong for any window that might take its handle.
        boxes.Show(kNoPaneMessage);
        return ResetOutcome::PaneGone;
    }
    if (Difference(rect.right, rect.left) == width) return ResetOutcome::AlreadyThatWide;

    // A child window is placed in its parent's client coordinates, not in
    // screen coordinates. The whole rectangle is converted: in a mirrored
    // parent the pane's logical left is its right edge on screen, and placing
    // it by the other edge would make it jump by its width.
    Rect place = rect;
    if (const WindowHandle parent = system.ParentOf(pane); parent != 0) {
        if (!system.MapRectToClient(parent, place)) {
            boxes.Show(kNoPaneMessage);
            return ResetOutcome::PaneGone;
        }
    }
    system.MoveWindow(pane, place.left, place.top, width, Difference(rect.bottom, rect.top));
    return ResetOutcome::Moved;
}

}  // namespace kestrum
