// Setting the width of the selected client's first pane.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "ui/form1.h"

namespace kestrum {
namespace {

constexpr std::string_view kNoPaneMessage = "NavPane was not found";

std::int32_t Difference(std::int32_t high, std::int32_t low) {
    const std::int64_t d = std::int64_t{high} - low;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        d, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

ResetOutcome Form1::Command2_Click() {
    if (List1(2).ListCount() <= 0) {
        system_.ShowMessage(kNoPaneMessage);
        return ResetOutcome::NoPaneListed;
    }
    const WindowHandle pane = List1(2).ItemData(0);

    Rect rect;
    if (!system_.ReadWindowRect(pane, rect)) {
        // The pane is gone since the list was built: moving it to 0,0 with no
        // height would be wrong for any window that might take its handle.
        system_.ShowMessage(kNoPaneMessage);
        return ResetOutcome::PaneGone;
    }
    if (Difference(rect.right, rect.left) == NewSize) return ResetOutcome::AlreadyThatWide;

    // A child window is placed in its parent's client coordinates, not in
    // screen coordinates. Both corners are converted: in a mirrored parent the
    // pane's logical left is its right edge on screen, and placing it by the
    // other edge would make it jump by its width.
    Rect place = rect;
    if (const WindowHandle parent = system_.ParentOf(pane); parent != 0) {
        if (!system_.MapRectToClient(parent, place)) {
            system_.ShowMessage(kNoPaneMessage);
            return ResetOutcome::PaneGone;
        }
    }
    system_.MoveWindow(pane, std::min(place.left, place.right), std::min(place.top, place.bottom),
                       NewSize, Difference(rect.bottom, rect.top));
    return ResetOutcome::Moved;
}

}  // namespace kestrum
