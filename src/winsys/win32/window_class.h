// A window class of this program's, registered the first time a window of
// it is made: registered already is no failure.
#pragma once

#include <windows.h>

namespace kestrum::win32 {

inline bool RegisterWindowClass(const WNDCLASSEXW& windowClass) {
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace kestrum::win32
