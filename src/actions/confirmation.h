// Looking at another program's window until a change asked of it is seen or
// the time is up, on a timer: the one way the actions confirm what they
// asked, never waiting for a program that may not answer at all.
#pragma once

#include <chrono>
#include <functional>

#include "winsys/timers.h"

namespace kestrum {

class Confirmation {
public:
    explicit Confirmation(Timers& timers) : timers_(timers), timer_(timers) {}
    Confirmation(const Confirmation&) = delete;
    Confirmation& operator=(const Confirmation&) = delete;

    // Replaces one under way (unreported). Looks at once, then every `every`
    // until `seen` answers true or `within` has passed; then `done(seen)`,
    // which may start another.
    void Start(std::chrono::milliseconds within, std::chrono::milliseconds every, std::function<bool()> seen,
               std::function<void(bool)> done);
    void Cancel();
    bool Running() const { return static_cast<bool>(done_); }

private:
    void Look();

    Timers& timers_;
    OneShotTimer timer_;
    std::chrono::milliseconds end_{0};
    std::chrono::milliseconds every_{0};
    std::function<bool()> seen_;
    std::function<void(bool)> done_;
};

}  // namespace kestrum
