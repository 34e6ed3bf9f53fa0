// What the stand-in client and the end-to-end tests share: a kernel handle
// owned, and a window handle written as both print and read it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "winsys/win32/win32_handles.h"

namespace e2e {

// Kernel handles owned as the program owns its own.
using kestrum::win32::UniqueHandle;

// A window handle as Kestrum shows it: signed 32-bit decimal.
inline std::int32_t HandleValue(HWND h) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(h));
}
inline HWND HandleFromValue(long long v) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(v)));
}

inline std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

}  // namespace e2e
