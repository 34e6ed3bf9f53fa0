#include "app/run.h"

#include "ui/win32/form1_window.h"

namespace kestrum::win32 {

int Run(Form1& form, Win32MessageBoxes& boxes, HINSTANCE instance,
        std::string_view argumentText) noexcept {
    try {
        const StartOutcome outcome = form.Form_Load(argumentText);
        if (outcome != StartOutcome::Shown) return ExitStatusFor(outcome);

        // The form is to be seen: its window is made now, from its state.
        Form1Window window(form, instance);
        // A failure inside the window's procedures while it was made.
        window.RethrowFailure();
        if (window.Handle() == nullptr) return kExitInternalFailure;
        // From now on message boxes belong to the window (start-up's came
        // before it existed, and had no owner).
        boxes.SetOwner(window.Handle());
        window.FocusFirstControl();
        // Throws what a window procedure failed with; it ends the run below,
        // once the window is gone.
        window.RunMessageLoop();
        return kExitNormal;
    } catch (...) {
        // Out of memory, or anything else the program cannot go on from.
        return kExitInternalFailure;
    }
}

}  // namespace kestrum::win32
