#include "actions/enable_toggle.h"

#include <utility>

namespace kestrum {
namespace {

constexpr std::chrono::milliseconds kAnswerWithin{500};
constexpr std::chrono::milliseconds kChangeSeenWithin{1000};
constexpr std::chrono::milliseconds kLookedAtEvery{15};

}  // namespace

EnableToggle::EnableToggle(WindowSystem& system, Timers& timers) : system_(system), confirmation_(timers) {}

void EnableToggle::Start(WindowHandle window, Done done) {
    Cancel();
    done_ = std::move(done);
    window_ = window;
    probe_ = system_.ProbeAnswering(window);
    confirmation_.Start(kAnswerWithin, kLookedAtEvery, [this] { return probe_->Heard() != Reply::NoAnswer; },
                        [this](bool answered) { Answered(answered); });
}

void EnableToggle::Answered(bool answered) {
    if (!answered) return Finish(ToggleOutcome::NotAnswering);
    if (probe_->Heard() == Reply::NoWindow) {
        // Asked all the same, as of any window that does not read as
        // enabled; nothing can change.
        system_.RequestEnable(window_, !system_.IsWindowEnabled(window_));
        return Finish(ToggleOutcome::Unchanged);
    }
    enabledBefore_ = system_.IsWindowEnabled(window_);
    system_.RequestEnable(window_, !enabledBefore_);
    // Asked again: whether it still answers once the change is asked.
    probe_ = system_.ProbeAnswering(window_);
    confirmation_.Start(
        kChangeSeenWithin, kLookedAtEvery, [this] { return system_.IsWindowEnabled(window_) != enabledBefore_; },
        [this](bool changed) {
            if (changed) return Finish(ToggleOutcome::Toggled);
            Finish(probe_->Heard() == Reply::NoAnswer ? ToggleOutcome::Pending : ToggleOutcome::Unchanged);
        });
}

void EnableToggle::Finish(ToggleOutcome outcome) {
    confirmation_.Cancel();
    probe_.reset();
    const Done done = std::exchange(done_, nullptr);
    if (done) done(outcome);
}

void EnableToggle::Cancel() {
    confirmation_.Cancel();
    probe_.reset();
    done_ = nullptr;
}

}  // namespace kestrum
