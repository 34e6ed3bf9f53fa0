// Time, and the work that waits for it. A step that must wait (a
// confirmation, a settling time, another look for the clients) is a callback
// the program's own loop runs later; nothing waits inside a handler.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace kestrum {

class Timers {
public:
    using Id = std::uint64_t;

    virtual ~Timers() = default;

    // The time since some fixed point, steadily rising.
    virtual std::chrono::milliseconds Now() = 0;
    // Runs `callback` once, `delay` from now, from the program's loop (never
    // from inside this call). The id is never 0.
    virtual Id After(std::chrono::milliseconds delay, std::function<void()> callback) = 0;
    // A callback not yet run will not run. An id that names none is ignored.
    virtual void Cancel(Id id) = 0;
};

// One waiting step, owned: starting it again replaces the one waiting, and
// it is cancelled when it goes.
class OneShotTimer {
public:
    explicit OneShotTimer(Timers& timers) : timers_(timers) {}
    OneShotTimer(const OneShotTimer&) = delete;
    OneShotTimer& operator=(const OneShotTimer&) = delete;
    ~OneShotTimer() { Stop(); }

    void Start(std::chrono::milliseconds delay, std::function<void()> callback) {
        Stop();
        id_ = timers_.After(delay, [this, callback = std::move(callback)] {
            id_ = 0;
            callback();
        });
    }
    void Stop() {
        if (id_ != 0) timers_.Cancel(id_);
        id_ = 0;
    }
    bool Running() const { return id_ != 0; }

private:
    Timers& timers_;
    Timers::Id id_ = 0;
};

}  // namespace kestrum
