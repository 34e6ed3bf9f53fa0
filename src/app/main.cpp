// The program's entry: the Windows layer wired to Form1, and its run.
#include <windows.h>

#include <string>

#include "app/run.h"
#include "startup/argument_text.h"
#include "winsys/win32/win32_clock.h"
#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_window_system.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    try {
        kestrum::win32::Win32WindowSystem system;
        kestrum::win32::Win32MessageBoxes boxes;
        kestrum::win32::Win32Clock clock;
        kestrum::Form1 form(system, boxes, clock);
        const std::string commandLine = kestrum::win32::WideToUtf8(GetCommandLineW());
        return kestrum::win32::Run(form, boxes, instance, kestrum::ArgumentText(commandLine));
    } catch (...) {
        return kestrum::kExitInternalFailure;
    }
}
