// The session held in memory, in time of its own: its mark, and one watch in
// it (or none) that takes what it is asked once its window is there, and
// ends when told to stop, or answers a command, after a while of its own.
#pragma once

#include <chrono>
#include <optional>

#include "winsys/session_watches.h"

namespace kestrum::testing {

class MemorySessionWatches final : public SessionWatches {
public:
    using milliseconds = std::chrono::milliseconds;
    std::optional<NoDesktop> WhyNoDesktop() override { return noDesktop; }
    WatchMark TakeMark() override { return mark; }
    bool MarkHeld() override { return runs && !(after && askedAt && now >= *askedAt + *after); }
    AskResult Ask(const WatchAsk&) override {
        if (!runs || now < windowAt) return AskResult::NoWindow;
        if (!refuses && !askedAt) askedAt = now;
        return refuses ? AskResult::Refused : AskResult::Sent;
    }
    AskResult AskAndWait(const WatchAsk& ask, milliseconds within) override {
        const AskResult result = Ask(ask);
        const bool answers = after && *after <= within;
        if (result == AskResult::Sent) now += answers ? *after : within;
        return result == AskResult::Sent && answers ? AskResult::Done : result;
    }
    milliseconds Now() override { return now; }
    void Pause(milliseconds time) override { now += time; }

    std::optional<NoDesktop> noDesktop;
    WatchMark mark = WatchMark::Taken;
    bool runs = true;
    milliseconds windowAt{0};           // its window is made
    bool refuses = false;               // it runs with higher rights
    std::optional<milliseconds> after;  // once asked; none: never
    std::optional<milliseconds> askedAt;
    milliseconds now{0};
};

}  // namespace kestrum::testing
