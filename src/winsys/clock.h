// Time, for the waits the program makes: for a client to start, and for a
// pane to show the width it was given.
#pragma once

#include <chrono>

namespace kestrum {

class Clock {
public:
    virtual ~Clock() = default;

    // The time since some fixed point, steadily rising.
    virtual std::chrono::milliseconds Now() = 0;
    // Lets `duration` pass without using the processor, while the program's
    // own windows go on answering (their events wait until it is over).
    virtual void Pause(std::chrono::milliseconds duration) = 0;
};

}  // namespace kestrum
