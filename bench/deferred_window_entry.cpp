// An experiment, for measurement only: kestrum.exe's entry changed so that an
// unattended run happens on an in-memory form first, and the real window (with
// the common controls and the display driver it brings in) is created only
// when start-up ends in showing it. Start-up then runs again, on the real
// window. Timed against the floor and the program as it is by
//   BENCH_CANDIDATE_EXE=build/bench-windows/kestrum_deferred.exe bash bench/run.sh
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "startup/argument_text.h"
#include "startup/start_options.h"
#include "ui/memory_form_surface.h"
#include "ui/win32/form1_window.h"
#include "winsys/win32_text.h"
#include "winsys/win32_window_system.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    kestrum::win32::Win32WindowSystem system;
    const std::string commandLine = kestrum::win32::WideToUtf8(GetCommandLineW());
    const std::string_view arguments = kestrum::ArgumentText(commandLine);
    if (kestrum::ParseStartOptions(arguments).options.AutoMode) {
        kestrum::MemoryFormSurface surface;
        kestrum::Form1 form(system, surface);
        const kestrum::StartOutcome outcome = form.Form_Load(arguments);
        if (outcome != kestrum::StartOutcome::Shown) return kestrum::ExitStatusFor(outcome);
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    kestrum::win32::Form1Window window(system);
    if (!window.Create(instance)) return 3;
    system.SetMessageOwner(window.Handle());
    const kestrum::StartOutcome outcome = window.Form().Form_Load(arguments);
    if (outcome != kestrum::StartOutcome::Shown) {
        window.Destroy();
        return kestrum::ExitStatusFor(outcome);
    }
    window.FocusFirstControl();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window.Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
