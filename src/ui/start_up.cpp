#include "ui/start_up.h"

#include <algorithm>
#include <string>

#include "log/log_lines.h"
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
        case ResetOutcome::Refused: return StartOutcome::MoveRefused;
        case ResetOutcome::NotAnswering:
        case ResetOutcome::NotTaken: break;
    }
    return StartOutcome::WidthNotSeen;
}

}  // namespace

StartUp::StartUp(const StartPlan& plan, Timers& timers, RunLog& log, Report report, Ended ended)
    : plan_(plan), timers_(timers), log_(log), report_(std::move(report)), ended_(std::move(ended)), lookAgain_(timers) {}

bool StartUp::EndsBeforeTheSteps() {
    running_ = true;
    for (const std::string& ignored : plan_.from.ignored) log_.Tell(PolicyIgnored{ignored});
    if (plan_.road == Road::Usage) {
        report_(Usage(plan_.options.NewSize, plan_.from.width));
        End(StartOutcome::HelpShown);
    } else if (plan_.rejected) {
        const std::string message = OutOfRangeMessage(*plan_.rejected);
        report_(message);
        log_.Write(message);
        End(StartOutcome::OutOfRange);
    }
    return !running_;
}

void StartUp::Begin(std::int16_t width) {
    log_.Write("unattended run: " + WidthFrom(width, plan_.from.width));
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
