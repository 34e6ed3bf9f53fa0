// What the stand-in client and the end-to-end tests share: a kernel handle
// owned, a window handle written as both print and read it, and text for
// reports, each as the Windows layer has them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "winsys/win32/win32_handles.h"
#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_window_system.h"

namespace e2e {

// Kernel handles owned as the program owns its own.
using kestrum::win32::UniqueHandle;

// A window handle as Kestrum shows it: signed 32-bit decimal.
inline std::int32_t HandleValue(HWND h) { return kestrum::win32::ToHandle(h); }
inline HWND HandleFromValue(long long v) { return kestrum::win32::ToHwnd(static_cast<std::int32_t>(v)); }

inline std::string Narrow(std::wstring_view text) { return kestrum::win32::WideToUtf8(text); }
using kestrum::win32::Utf8ToWide;

}  // namespace e2e
