// A clock for the tests: time passes only when the program pauses, and
// things planned for a time (a client starting, waking) happen then.
#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "winsys/clock.h"

namespace kestrum::testing {

class FakeClock final : public Clock {
public:
    std::chrono::milliseconds Now() override { return now_; }
    void Pause(std::chrono::milliseconds duration) override {
        ++pauses;
        const std::chrono::milliseconds end = now_ + duration;
        while (!planned_.empty() && planned_.begin()->first <= end) {
            auto next = planned_.extract(planned_.begin());
            now_ = std::max(now_, next.key());
            next.mapped()();
        }
        now_ = end;
    }
    // Runs `action` when the time reaches `at`.
    void At(std::chrono::milliseconds at, std::function<void()> action) {
        planned_.emplace(at, std::move(action));
    }

    int pauses = 0;

private:
    std::chrono::milliseconds now_{0};
    std::multimap<std::chrono::milliseconds, std::function<void()>> planned_;
};

}  // namespace kestrum::testing
