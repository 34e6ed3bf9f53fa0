#include "watch/user_width_noticer.h"

namespace kestrum {

void UserWidthNoticer::Follow(WindowHandle pane, WindowHandle client) {
    if (width_.Keeps()) followed_.insert_or_assign(pane, client);
}

void UserWidthNoticer::Heard(WindowEvent event, WindowHandle window) {
    switch (event) {
        case WindowEvent::CaptureStarted: return Started(window);
        case WindowEvent::CaptureEnded: return Ended(window);
        case WindowEvent::Placed: {
            // The top-level window moved or sized: a frame drag, a snap or a
            // maximize, not the pane's splitter.
            Rect frame;
            if (drag_ && window == drag_->client && system_.ReadWindowRect(window, frame) && !(frame == drag_->frame)) {
                drag_->frameMoved = true;
            }
            return;
        }
        default: return;
    }
}

void UserWidthNoticer::Started(WindowHandle window) {
    StopHearingMoves();
    if (paused_ || followed_.empty()) return;
    Drag drag{system_.RootOf(window)};
    for (const auto& [pane, client] : followed_) {
        Rect place;
        if (client == drag.client && system_.ReadWindowRect(pane, place)) drag.widths.emplace(pane, WidthOf(place));
    }
    if (drag.widths.empty() || system_.ThreadOf(window) != system_.ThreadOf(drag.client) ||
        !system_.ReadWindowRect(drag.client, drag.frame)) {
        return;
    }
    drag_ = drag;
    events_.ReportPlacesIn(drag.client);
}

void UserWidthNoticer::Ended(WindowHandle window) {
    if (!drag_) return;
    const Drag drag = *drag_;
    StopHearingMoves();
    Rect frame;
    if (system_.RootOf(window) != drag.client || drag.frameMoved || !system_.ReadWindowRect(drag.client, frame) ||
        !(frame == drag.frame) || system_.IsMinimized(drag.client)) {
        return;
    }
    for (const auto& [pane, before] : drag.widths) {
        Rect place;
        if (!system_.IsVisible(pane) || !system_.ReadWindowRect(pane, place) || WidthOf(place) == before) continue;
        Kept(system_.ToUnawarePixels(pane, WidthOf(place)));
    }
}

void UserWidthNoticer::UserSet(WindowHandle pane, std::int32_t width) {
    if (followed_.contains(pane)) Kept(width);
}

void UserWidthNoticer::Kept(std::int32_t width) {
    if (!paused_ && width_.Keep(width) && listener_ != nullptr) listener_->Changed();
}

void UserWidthNoticer::Pause(bool paused) {
    paused_ = paused;
    if (paused) StopHearingMoves();
}

void UserWidthNoticer::DropGone() {
    std::erase_if(followed_, [this](const auto& pane) { return !system_.IsWindow(pane.first); });
}

void UserWidthNoticer::StopHearingMoves() {
    if (drag_) events_.ReportPlacesIn(0);
    drag_.reset();
}

}  // namespace kestrum
