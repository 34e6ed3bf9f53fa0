// Timers for the tests: time passes only when a test lets it, and what was
// planned for a time (a timer's callback, a client waking) happens then, in
// order, as the program's loop would run it.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <utility>

#include "winsys/timers.h"

namespace kestrum::testing {

class FakeTimers final : public Timers {
public:
    std::chrono::milliseconds Now() override { return now_; }
    Id After(std::chrono::milliseconds delay, std::function<void()> callback) override {
        ++started;
        const Id id = nextId_++;
        planned_.emplace(Key{now_ + std::max(delay, std::chrono::milliseconds::zero()), id}, std::move(callback));
        return id;
    }
    void Cancel(Id id) override {
        for (auto it = planned_.begin(); it != planned_.end(); ++it) {
            if (it->first.id == id) {
                planned_.erase(it);
                return;
            }
        }
    }

    // Lets `duration` pass, running what falls due on the way.
    void Advance(std::chrono::milliseconds duration) {
        const std::chrono::milliseconds end = now_ + duration;
        while (!planned_.empty() && planned_.begin()->first.at <= end) {
            auto next = planned_.extract(planned_.begin());
            now_ = std::max(now_, next.key().at);
            next.mapped()();
        }
        now_ = end;
    }
    // Runs `action` when the time reaches `at` (a test's own event).
    void At(std::chrono::milliseconds at, std::function<void()> action) {
        After(at - now_, std::move(action));
        --started;
    }
    std::size_t Pending() const { return planned_.size(); }

    // Timers the program started.
    int started = 0;

private:
    struct Key {
        std::chrono::milliseconds at;
        Id id;
        bool operator<(const Key& other) const { return at != other.at ? at < other.at : id < other.id; }
    };
    std::chrono::milliseconds now_{0};
    Id nextId_ = 1;
    std::map<Key, std::function<void()>> planned_;
};

}  // namespace kestrum::testing
