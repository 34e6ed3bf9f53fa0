// The program's entry: creates Form1 hidden, runs its start-up, and then
// either ends with the start-up's status or runs the window until it closes.
// (DeferredFormSurface says why the window may not exist yet.)
#include <windows.h>

#include <string>

#include "startup/argument_text.h"
#include "ui/win32/form1_window.h"
#include "winsys/win32_message_boxes.h"
#include "winsys/win32_text.h"
#include "winsys/win32_window_system.h"

namespace {

int Run(HINSTANCE instance) {
    kestrum::win32::Win32WindowSystem system;
    kestrum::win32::Win32MessageBoxes boxes;
    kestrum::win32::Form1Window window(system, boxes, instance);

    const std::string commandLine = kestrum::win32::WideToUtf8(GetCommandLineW());
    const kestrum::StartOutcome outcome =
        window.Form().Form_Load(kestrum::ArgumentText(commandLine));
    // A failure inside the window's procedures while start-up made it.
    window.RethrowFailure();
    if (outcome != kestrum::StartOutcome::Shown) return kestrum::ExitStatusFor(outcome);
    if (window.Handle() == nullptr) return kestrum::kExitInternalFailure;
    // From now on message boxes belong to the window (start-up's came before
    // it existed, and had no owner).
    boxes.SetOwner(window.Handle());

    window.FocusFirstControl();
    // Throws what a window procedure failed with; it ends the program below.
    window.RunMessageLoop();
    return kestrum::kExitNormal;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    try {
        return Run(instance);
    } catch (...) {
        // Out of memory, or anything else the program cannot go on from.
        return kestrum::kExitInternalFailure;
    }
}
