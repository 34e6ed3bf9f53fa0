#include "app/run.h"

#include <optional>

#include "ui/win32/form1_window.h"
#include "winsys/win32/win32_program_start.h"

namespace kestrum::win32 {

int Run(Form1& form, Win32MessageBoxes& boxes, Win32Timers& timers, HINSTANCE instance) noexcept {
    try {
        std::optional<Form1Window> window;
        int status = kExitNormal;
        form.StartUpEnded = [&](StartOutcome outcome) {
            if (outcome != StartOutcome::Shown) {
                status = ExitStatusFor(outcome);
                PostQuitMessage(status);
                return;
            }
            window.emplace(form, instance);
            window->RethrowFailure();
            if (window->Handle() == nullptr) {
                status = kExitInternalFailure;
                PostQuitMessage(status);
                return;
            }
            // From now on message boxes belong to the window (start-up's came
            // before it existed, and had no owner).
            boxes.SetOwner(window->Handle());
            window->FocusFirstControl();
        };
        form.Form_Load();

        // Until start-up ends the program or the window closes; what waits
        // meanwhile (the clients, a width) waits on the timers in this loop.
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            // Tab and the arrow keys move between the controls as in a dialog.
            if (window && window->Handle() != nullptr && IsDialogMessageW(window->Handle(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // What a window procedure or a timer failed with ends the run here.
        timers.RethrowFailure();
        if (window) window->RethrowFailure();
        return status;
    } catch (...) {
        // Out of memory, or anything else the program cannot go on from.
        return kExitInternalFailure;
    }
}

std::optional<int> StartProgram(const StartPlan& plan, RunLog& log) {
    const ProgramLine& line = plan.options.Program;
    if (line.program.empty()) return std::nullopt;
    const StartedProgram started = win32::StartProgram(line);
    if (!started.process) {
        log.Tell(ProgramNotStarted{line, started.failure});
        return kExitProgramNotStarted;
    }
    log.Tell(ProgramStarted{line});
    return std::nullopt;
}

}  // namespace kestrum::win32
