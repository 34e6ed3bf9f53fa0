#include "watch/resets_under_way.h"

#include <algorithm>

namespace kestrum {

void ResetsUnderWay::Start(Asked asked) {
    running_.emplace_back(std::move(asked), system_, timers_);
    const auto running = std::prev(running_.end());
    running->reset.Start(running->asked.pane, running->asked.width.width, [this, running](const ResetReport& report) {
        const Asked done = std::move(running->asked);
        running_.erase(running);
        done_(done, report);
    });
}

bool ResetsUnderWay::Setting(WindowHandle pane) const {
    return std::any_of(running_.begin(), running_.end(), [pane](const Running& r) { return r.asked.pane == pane; });
}

std::vector<ResetsUnderWay::Asked> ResetsUnderWay::CancelAll() {
    std::vector<Asked> cancelled;
    for (Running& running : running_) {
        running.reset.Cancel();
        cancelled.push_back(std::move(running.asked));
    }
    running_.clear();
    return cancelled;
}

}  // namespace kestrum
