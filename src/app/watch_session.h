// The resident watch's run, and its stop. One watch per session: a second
// ends at once (status 8); /stop ends this session's. The watch hears the
// end of the session, and Restart Manager asking it to close for an update,
// through a hidden top-level window of its own (message-only windows hear no
// such thing), answers at once and ends; it is registered to be started
// again once an update that closed it is done.
#pragma once

#include <windows.h>

#include "log/run_log.h"
#include "startup/start_plan.h"
#include "winsys/user_width_store.h"

namespace kestrum::win32 {

// Runs until /stop, the end of the session or the end of the system; 0 then,
// kExitAlreadyWatching when this session has a watch, kExitNothingChanged
// where no user's windows can be seen, kExitInternalFailure when the window
// events cannot be had.
// `log` gets a line per event worth telling; the plan says where the width
// and the settling time came from.
// `userWidths` keeps the width the user gives a pane, where the plan
// remembers it. The watch's icon is shown unless the plan says not.
int RunWatch(const StartPlan& plan, RunLog& log, UserWidthStore* userWidths, HINSTANCE instance) noexcept;

// Asks this session's watch to end and waits 5 s at most: 0 once none runs
// (also when none did), kExitInternalFailure when one is still there or
// could not be told; `log` says why then.
int StopWatch(RunLog& log) noexcept;

}  // namespace kestrum::win32
