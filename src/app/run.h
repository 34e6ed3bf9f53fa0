// The program's run, from start-up to the window's end.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/form1.h"
#include "winsys/win32/win32_message_boxes.h"

namespace kestrum::win32 {

// Runs the form's start-up; when the form is then to be seen, makes its
// window and runs it until it closes. Returns the exit status: the start-up's,
// 0 when the window was closed, and kExitInternalFailure when anything failed
// that the program cannot go on from (the window could not be made, memory
// ran out). `boxes` are the form's, owned by its window once that exists.
int Run(Form1& form, Win32MessageBoxes& boxes, HINSTANCE instance,
        std::string_view argumentText) noexcept;

}  // namespace kestrum::win32
