#include "actions/enable_toggle.h"

#include <algorithm>
#include <utility>

namespace kestrum {
namespace {

constexpr std::chrono::milliseconds kAnswerWithin{500};
constexpr std::chrono::milliseconds kChangeSeenWithin{1000};
constexpr std::chrono::milliseconds kLookedAtEvery{15};

}  // namespace

EnableToggle::EnableToggle(WindowSystem& system, Timers& timers) : system_(system), timer_(timers) {}

void EnableToggle::Start(WindowHandle window, Done done) {
    Cancel();
    done_ = std::move(done);
    window_ = window;
    probe_ = system_.ProbeAnswering(window);
    end_ = timer_.Owner().Now() + kAnswerWithin;
    WaitForAnswer();
}

void EnableToggle::WaitForAnswer() {
    switch (probe_->Heard()) {
        case Reply::NoWindow:
            // Asked all the same, as of any window that does not read as
            // enabled; nothing can change.
            system_.RequestEnable(window_, !system_.IsWindowEnabled(window_));
            return Finish(ToggleOutcome::Unchanged);
        case Reply::Answered: break;
        case Reply::NoAnswer: {
            const std::chrono::milliseconds left = end_ - timer_.Owner().Now();
            if (left <= std::chrono::milliseconds::zero()) return Finish(ToggleOutcome::NotAnswering);
            timer_.Start(std::min(left, kLookedAtEvery), [this] { WaitForAnswer(); });
            return;
        }
    }
    enabledBefore_ = system_.IsWindowEnabled(window_);
    system_.RequestEnable(window_, !enabledBefore_);
    // Asked again: whether it still answers once the change is asked.
    probe_ = system_.ProbeAnswering(window_);
    end_ = timer_.Owner().Now() + kChangeSeenWithin;
    LookForChange();
}

void EnableToggle::LookForChange() {
    if (system_.IsWindowEnabled(window_) != enabledBefore_) return Finish(ToggleOutcome::Toggled);
    const std::chrono::milliseconds left = end_ - timer_.Owner().Now();
    if (left > std::chrono::milliseconds::zero()) {
        timer_.Start(std::min(left, kLookedAtEvery), [this] { LookForChange(); });
        return;
    }
    Finish(probe_->Heard() == Reply::NoAnswer ? ToggleOutcome::Pending : ToggleOutcome::Unchanged);
}

void EnableToggle::Finish(ToggleOutcome outcome) {
    timer_.Stop();
    probe_.reset();
    const Done done = std::exchange(done_, nullptr);
    if (done) done(outcome);
}

void EnableToggle::Cancel() {
    timer_.Stop();
    probe_.reset();
    done_ = nullptr;
}

}  // namespace kestrum
