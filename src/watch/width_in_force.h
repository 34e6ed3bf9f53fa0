// The width the watch gives and where it came from: the plan's, then the
// user's own once one is kept, then the plan's without the user's again once
// it is forgotten. A width the user gives is kept in the user's store at
// once, so that a watch ended hard loses nothing.
#pragma once

#include <cstdint>

#include "log/run_log.h"
#include "startup/policies.h"
#include "winsys/user_width_store.h"

namespace kestrum {

class WidthInForce {
public:
    // `withoutUsers`: what forgetting the user's width brings back. `store`
    // null: no width is kept (a policy's width in force, memory off).
    WidthInForce(WidthChoice inForce, WidthChoice withoutUsers, UserWidthStore* store, RunLog& log);

    WidthChoice Choice() const { return inForce_; }
    // A user's width may be kept at all.
    bool Keeps() const { return store_ != nullptr; }
    // `width` (a pane width, in a DPI-unaware program's pixels) is the
    // user's own from now on; false when it was in force already.
    bool Keep(std::int32_t width);
    // Back to the width without the user's; false when the user's was not
    // in force.
    bool Forget();

private:
    WidthChoice inForce_;
    WidthChoice withoutUsers_;
    UserWidthStore* store_;
    RunLog& log_;
};

}  // namespace kestrum
