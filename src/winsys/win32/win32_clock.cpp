#include "winsys/win32/win32_clock.h"

#include <windows.h>

namespace kestrum::win32 {

std::chrono::milliseconds Win32Clock::Now() {
    return std::chrono::milliseconds(GetTickCount64());
}

void Win32Clock::Pause(std::chrono::milliseconds duration) {
    const std::chrono::milliseconds end = Now() + duration;
    for (std::chrono::milliseconds now = Now(); now < end; now = Now()) {
        const auto left = static_cast<DWORD>((end - now).count());
        if (MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
            WAIT_TIMEOUT) {
            return;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace kestrum::win32
