#include "ui/start_up.h"

#include <algorithm>
#include <string>

#include "startup/usage.h"

namespace kestrum {
namespace {

// How often the clients are listed again while a wait for them lasts.
constexpr std::chrono::milliseconds kListedAgainEvery{250};

// How an unattended run ends after the reset, for the script that ran it.
StartOutcome AutoOutcome(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::Moved:
        case ResetOutcome::AlreadyThatWide: return StartOutcome::AutoApplied;
        case ResetOutcome::PaneGone: return StartOutcome::PaneGone;
        case ResetOutcome::Refused:
        case ResetOutcome::OtherAccount: return StartOutcome::MoveRefused;
        case ResetOutcome::NotAnswering:
        case ResetOutcome::NotTaken: break;
    }
    return StartOutcome::WidthNotSeen;
}

}  // namespace

StartOutcome TellUsage(const StartPlan& plan, MessageBoxes& boxes) {
    if (!plan.quiet) boxes.Show(Usage(plan.options.NewSize, plan.from.width));
    return StartOutcome::HelpShown;
}

StartOutcome RefuseValue(const StartPlan& plan, MessageBoxes& boxes, RunLog& log) {
    if (plan.rejected) {
        if (!plan.quiet) boxes.Show(OutOfRangeMessage(*plan.rejected));
        log.Tell(ValueRefused{*plan.rejected});
    }
    return StartOutcome::OutOfRange;
}

StartUp::StartUp(const StartPlan& plan, Timers& timers, RunLog& log, Ended ended)
    : plan_(plan), timers_(timers), log_(log), ended_(std::move(ended)), lookAgain_(timers) {}

void StartUp::Begin(std::int16_t width) {
    running_ = true;
    log_.Tell(UnattendedStarted{width, plan_.from.width});
    waitEnd_ = timers_.Now() + std::chrono::seconds(plan_.options.Wait);
}

bool StartUp::ListsAgain(int clients, const std::function<int()>& panesOfFirst, std::function<void()> listAgain) {
    const std::chrono::milliseconds left = waitEnd_ - timers_.Now();
    if (left <= std::chrono::milliseconds::zero()) return false;
    const bool enough = plan_.options.AutoMode ? clients == 1 && panesOfFirst() == 1 : clients > 0;
    if (enough) return false;
    lookAgain_.Start(std::min(left, kListedAgainEvery), std::move(listAgain));
    return true;
}

void StartUp::NoClient() {
    log_.Tell(NothingChosen{NothingChosen::Why::NoClient});
    End(StartOutcome::NoClientFound);
}

bool StartUp::EndsUnseen(int clients, int panesOfFirst) {
    if (plan_.options.AutoMode) {
        using Why = NothingChosen::Why;
        const Why why = clients > 1 ? Why::SeveralClients : panesOfFirst > 1 ? Why::SeveralPanes : Why::NoPane;
        log_.Tell(NothingChosen{why, !plan_.quiet});
    }
    if (!plan_.quiet) return false;
    End(StartOutcome::NothingChanged);
    return true;
}

void StartUp::ResetEnded(ResetOutcome outcome) { End(AutoOutcome(outcome)); }

void StartUp::End(StartOutcome outcome) {
    running_ = false;
    if (ended_) ended_(outcome);
}

}  // namespace kestrum
