#include "actions/confirmation.h"

#include <algorithm>
#include <utility>

namespace kestrum {

void Confirmation::Start(std::chrono::milliseconds within, std::chrono::milliseconds every,
                         std::function<bool()> seen, std::function<void(bool)> done) {
    Cancel();
    end_ = timers_.Now() + within;
    every_ = every;
    seen_ = std::move(seen);
    done_ = std::move(done);
    Look();
}

void Confirmation::Look() {
    const bool seen = seen_();
    const std::chrono::milliseconds left = end_ - timers_.Now();
    if (!seen && left > std::chrono::milliseconds::zero()) return timer_.Start(std::min(left, every_), [this] { Look(); });
    // Taken out first: `done` may start the next one.
    const std::function<void(bool)> done = std::exchange(done_, nullptr);
    seen_ = nullptr;
    done(seen);
}

void Confirmation::Cancel() {
    timer_.Stop();
    seen_ = nullptr;
    done_ = nullptr;
}

}  // namespace kestrum
