// The window's start-up around Form1's Form_Load, whose steps are the form's
// own: the wait for the clients with a new look every quarter of a second,
// and the end (an unattended run's status and log); and the runs that end
// before any window is searched (the usage, a value out of range).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "actions/pane_width_reset.h"
#include "log/run_log.h"
#include "startup/start_outcome.h"
#include "startup/start_plan.h"
#include "winsys/message_boxes.h"
#include "winsys/timers.h"

namespace kestrum {

// The usage, in a box unless the run is quiet.
StartOutcome TellUsage(const StartPlan& plan, MessageBoxes& boxes);
// The value out of range, in a box unless the run is quiet, and logged.
StartOutcome RefuseValue(const StartPlan& plan, MessageBoxes& boxes, RunLog& log);

class StartUp {
public:
    using Ended = std::function<void(StartOutcome)>;

    // `ended` is called once, at the end.
    StartUp(const StartPlan& plan, Timers& timers, RunLog& log, Ended ended);

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
    Ended ended_;
    bool running_ = false;
    std::chrono::milliseconds waitEnd_{0};
    OneShotTimer lookAgain_;
};

}  // namespace kestrum
