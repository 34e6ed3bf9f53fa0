#include "watch/width_in_force.h"

namespace kestrum {

WidthInForce::WidthInForce(WidthChoice inForce, WidthChoice withoutUsers, UserWidthStore* store, RunLog& log)
    : inForce_(inForce), withoutUsers_(withoutUsers), store_(store), log_(log) {}

bool WidthInForce::Keep(std::int32_t width) {
    if (store_ == nullptr || !IsPaneWidth(width) || inForce_.width == width) return false;
    const bool stored = store_->Write(static_cast<std::uint32_t>(width));
    log_.Tell(UserWidthKept{width, inForce_.width, stored});
    inForce_ = {static_cast<std::int16_t>(width), Source::UserWidth};
    return true;
}

bool WidthInForce::Forget() {
    if (inForce_.from != Source::UserWidth || store_ == nullptr) return false;
    store_->Erase();
    log_.Tell(UserWidthForgotten{inForce_.width, withoutUsers_.width, withoutUsers_.from});
    inForce_ = withoutUsers_;
    return true;
}

}  // namespace kestrum
