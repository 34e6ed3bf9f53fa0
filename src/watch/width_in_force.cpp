#include "watch/width_in_force.h"

#include <string>

#include "log/log_lines.h"

namespace kestrum {
namespace {

// How long a pane that moved must keep still before it is looked at.
constexpr std::chrono::milliseconds kStillAfterMove{250};

}  // namespace

WidthInForce::WidthInForce(WindowSystem& system, Timers& timers, WidthChoice inForce, WidthChoice withoutUsers,
                           UserWidthStore* store, RunLog* log)
    : system_(system),
      inForce_(inForce),
      withoutUsers_(withoutUsers),
      store_(store),
      log_(log),
      stillAfterMove_(timers) {}

void WidthInForce::Set(WindowHandle pane, std::int32_t width) {
    if (store_ == nullptr) return;  // nothing to take: nothing to look at
    const bool added = known_.insert_or_assign(pane, width).second;
    if (added && panesChanged) panesChanged();
}

void WidthInForce::Unset(WindowHandle pane) {
    if (known_.erase(pane) > 0 && panesChanged) panesChanged();
}

void WidthInForce::Look() {
    stillAfterMove_.Stop();
    bool gone = false;
    for (auto it = known_.begin(); it != known_.end();) {
        if (LookAt(it->first, it->second)) {
            ++it;
        } else {
            it = known_.erase(it);
            gone = true;
        }
    }
    if (gone && panesChanged) panesChanged();
}

void WidthInForce::Moved(WindowHandle pane) {
    if (taking_ && known_.contains(pane)) stillAfterMove_.Start(kStillAfterMove, [this] { Look(); });
}

bool WidthInForce::LookAt(WindowHandle pane, std::int32_t& known) {
    Rect place;
    if (!system_.ReadWindowRect(pane, place)) return false;
    const std::int32_t width = WidthOf(place);
    // A hidden pane's width is its client's business: noted once it shows.
    if (width == known || !system_.IsVisible(pane)) return true;
    known = width;
    const std::int32_t unaware = system_.ToUnawarePixels(pane, width);
    if (taking_ && store_ != nullptr && unaware >= 1 && unaware <= 32767) Keep(unaware);
    return true;
}

void WidthInForce::Keep(std::int32_t width) {
    if (inForce_.width == width) return;
    const bool stored = store_->Write(static_cast<std::uint32_t>(width));
    Log("user's width " + std::to_string(width) + " kept (was " + std::to_string(inForce_.width) + ")" +
        (stored ? "" : " for this session only: it could not be stored"));
    inForce_ = {static_cast<std::int16_t>(width), Source::UserWidth};
    if (changed) changed();
}

void WidthInForce::Take(bool taking) {
    if (taking && !taking_) {
        for (auto& [pane, known] : known_) {
            Rect place;
            if (system_.ReadWindowRect(pane, place) && system_.IsVisible(pane)) known = WidthOf(place);
        }
    }
    taking_ = taking;
    if (!taking) stillAfterMove_.Stop();
}

bool WidthInForce::Forget() {
    if (inForce_.from != Source::UserWidth || store_ == nullptr) return false;
    store_->Erase();
    Log("user's width " + std::to_string(inForce_.width) + " forgotten: " +
        WidthFrom(withoutUsers_.width, withoutUsers_.from));
    inForce_ = withoutUsers_;
    if (changed) changed();
    return true;
}

void WidthInForce::DropGone() {
    if (std::erase_if(known_, [this](const auto& pane) { return !system_.IsWindow(pane.first); }) > 0 && panesChanged) {
        panesChanged();
    }
}

std::vector<WindowHandle> WidthInForce::Panes() const {
    std::vector<WindowHandle> panes;
    for (const auto& [pane, known] : known_) panes.push_back(pane);
    return panes;
}

void WidthInForce::Log(const std::string& message) {
    if (log_ != nullptr) log_->Write(message);
}

}  // namespace kestrum
