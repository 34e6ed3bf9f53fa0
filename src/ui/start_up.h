// The window's start-up around Form1's Form_Load, whose steps are the form's
// own: the runs that end before them (the usage, a value out of range), the
// wait for the clients with a new look every quarter of a second, and the
// end (an unattended run's status and log).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

#include "actions/pane_width_reset.h"
#include "log/run_log.h"
#include "startup/start_outcome.h"
#include "startup/start_plan.h"
#include "winsys/timers.h"

namespace kestrum {

class StartUp {
public:
    using Report = std::function<void(std::string_view text)>;
    using Ended = std::function<void(StartOutcome)>;

    // `report` shows a message box; `ended` is called once, at the end.
    StartUp(const StartPlan& plan, Timers& timers, RunLog& log, Report report, Ended ended);

    // Tells the usage or the value out of range and ends; false when the
    // steps are to run.
    bool EndsBeforeTheSteps();
    // The steps begin, and the wait with them.
    void Begin(std::int16_t width);
    // The clients are listed: true when, a wait being on, they do not do yet
    // (unattended: one client with one pane; otherwise any); `listAgain`
    // then runs at the next look.
    bool ListsAgain(int clients, const std::function<int()>& panesOfFirst, std::function<void()> listAgain);
    // The window would be shown: in a quiet run start-up ends here instead.
    bool EndsUnseen(int clients, int panesOfFirst);
    void NoClient();
    void ResetEnded(ResetOutcome outcome);
    void End(StartOutcome outcome);
    // The window is closing: the wait ends, unreported.
    void Cancel() { lookAgain_.Stop(); }

    bool Running() const { return running_; }
    bool Waiting() const { return lookAgain_.Running(); }

private:
    const StartPlan& plan_;
    Timers& timers_;
    RunLog& log_;
    Report report_;
    Ended ended_;
    bool running_ = false;
    std::chrono::milliseconds waitEnd_{0};
    OneShotTimer lookAgain_;
};

}  // namespace kestrum
