// The resident watch's run, its stop and what it is asked, on the Windows layer.
#pragma once

#include <windows.h>

#include "log/run_log.h"
#include "startup/start_plan.h"
#include "winsys/user_width_store.h"

namespace kestrum::win32 {

// Runs until /stop, the end of the session or the end of the system: 0
// then, or the status the watch's start ended with (WatchSession::Start).
// The icon is shown unless the plan says not, with the program's icon.
int RunWatch(const StartPlan& plan, RunLog& log, UserWidthStore& userWidths, HINSTANCE instance) noexcept;

// Asks this session's watch to end and waits 5 s at most: 0 once none runs
// (also when none did), kExitInternalFailure when one is still there or
// could not be told; `log` says why then.
int StopWatch(RunLog& log) noexcept;

// Asks this session's watch to do `request` and waits 5 s at most for its
// answer (AskTheWatch): 0 once it has done it, 10 where none runs, 3 where
// it could not be asked or did not answer; `log` says why then.
int AskWatch(WatchRequest request, RunLog& log) noexcept;

}  // namespace kestrum::win32
