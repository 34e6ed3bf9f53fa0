#include "actions/pane_width_reset.h"

#include <algorithm>
#include <optional>
#include <utility>

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

PaneWidthReset::PaneWidthReset(WindowSystem& system, Timers& timers) : system_(system), confirmation_(timers) {}

void PaneWidthReset::Start(WindowHandle pane, std::int16_t width, Done done) {
    Cancel();
    done_ = std::move(done);
    report_ = ResetReport{ResetOutcome::PaneGone, pane, 0, 0};
    // A pane gone since it was found is not moved: moving it to 0,0 with no
    // height would be wrong for any window that took its handle.
    parent_ = system_.ParentOf(pane);
    const std::optional<Rect> place = PlaceInParent(system_, pane, parent_);
    if (!place) return Finish(ResetOutcome::PaneGone);
    report_.widthBefore = report_.widthAfter = WidthOf(*place);
    // The width is in the pixels of a DPI-unaware program, the rectangle in
    // the pane's own: compared and set in the pane's.
    const std::int32_t paneWidth = system_.FromUnawarePixels(pane, width);
    if (report_.widthBefore == paneWidth) return Finish(ResetOutcome::AlreadyThatWide);
    const std::int32_t height = ClampToInt32(std::int64_t{place->bottom} - place->top);
    switch (system_.MoveWindow(pane, place->left, place->top, paneWidth, height)) {
        case MoveResult::Refused:
            return Finish(system_.RightsOf(pane) == Rights::OtherAccount ? ResetOutcome::OtherAccount
                                                                         : ResetOutcome::Refused);
        case MoveResult::Failed: return Finish(ResetOutcome::PaneGone);
        case MoveResult::Posted: break;
    }
    // The move reaches the pane through its client's queue; whether that
    // client answers at all is asked at the same time. The window manager
    // takes a negative width as none.
    probe_ = system_.ProbeAnswering(pane);
    wanted_ = {place->left, place->top,
               ClampToInt32(std::int64_t{place->left} + std::max<std::int32_t>(paneWidth, 0)),
               ClampToInt32(std::int64_t{place->top} + height)};
    confirmation_.Start(kWidthSeenWithin, kWidthLookedAtEvery, [this] { return Seen(); }, [this](bool seen) {
        if (seen) return Finish(report_.outcome);
        // A client with higher rights may have had the move dropped, though it
        // was said to be posted (User Interface Privilege Isolation); one that
        // runs under another account is told apart, and is first of all
        // asked whether it answers.
        const Rights rights = system_.RightsOf(report_.pane);
        if (rights == Rights::Elevated) return Finish(ResetOutcome::Refused);
        switch (probe_ ? probe_->Heard() : Reply::NoWindow) {
            case Reply::NoWindow: return Finish(ResetOutcome::PaneGone);
            case Reply::NoAnswer: return Finish(ResetOutcome::NotAnswering);
            case Reply::Answered:
                return Finish(rights == Rights::OtherAccount ? ResetOutcome::OtherAccount : ResetOutcome::NotTaken);
        }
    });
}

bool PaneWidthReset::Seen() {
    const std::optional<Rect> now = PlaceInParent(system_, report_.pane, parent_);
    if (!now) {
        report_.outcome = ResetOutcome::PaneGone;
        return true;
    }
    report_.widthAfter = WidthOf(*now);
    report_.outcome = ResetOutcome::Moved;
    return *now == wanted_;
}

void PaneWidthReset::Finish(ResetOutcome outcome) {
    confirmation_.Cancel();
    probe_.reset();
    report_.outcome = outcome;
    // Taken out first: `done` may start the next reset.
    const Done done = std::exchange(done_, nullptr);
    const ResetReport report = report_;
    if (done) done(report);
}

void PaneWidthReset::Cancel() {
    confirmation_.Cancel();
    probe_.reset();
    done_ = nullptr;
}

}  // namespace kestrum
