// The run of the window and of the unattended start: from start-up to the
// window's end.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/form1.h"
#include "winsys/win32/win32_message_boxes.h"
#include "winsys/win32/win32_timers.h"

namespace kestrum::win32 {

// Runs the form's start-up; when the form is then to be seen, makes its
// window; runs the thread's message loop until start-up ends the program or
// the window closes. Returns the exit status: the start-up's, 0 when the
// window was closed, and kExitInternalFailure when anything failed that the
// program cannot go on from (the window could not be made, memory ran out).
// `boxes` are the form's, owned by its window once that exists; `timers`
// the form's, whose failures end the run too.
int Run(Form1& form, Win32MessageBoxes& boxes, Win32Timers& timers, HINSTANCE instance) noexcept;

// The program /run= names, started before the window's start-up and left to
// itself: none where there is none or it started; otherwise, told to `log`,
// kExitProgramNotStarted.
std::optional<int> StartProgram(const StartPlan& plan, RunLog& log);

}  // namespace kestrum::win32
