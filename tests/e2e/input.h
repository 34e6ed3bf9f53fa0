// A user's mouse and keyboard, as input to the whole desktop: through
// SendInput, and a drag through the X server itself.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "desktop.h"
#include "host_shell.h"

namespace e2e {

inline void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

inline INPUT Mouse(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (at.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (at.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return in;
}

// The pointer moved to `at`, alone, and seen there: a button pressed in the
// same breath may still land where the pointer was before. Every press
// carries the place too.
inline void MovePointer(POINT at) {
    SetCursorPos(at.x, at.y);
    Send({Mouse(MOUSEEVENTF_MOVE, at)});
    WaitUntil([&] {
        POINT now{};
        GetCursorPos(&now);
        return now.x == at.x && now.y == at.y;
    }, 2000);
    Sleep(30);
}

// Clicks `times` times in a row at one point (2: a double-click). A click
// soon after another near the same point would make a double-click the user
// did not mean: it waits until that can no longer happen.
inline void Click(POINT at, int times = 1) {
    static POINT lastAt{-1000, -1000};
    static double lastTime = 0;
    const double wait = lastTime + GetDoubleClickTime() / 1000.0 + 0.05 - Seconds();
    if (std::abs(at.x - lastAt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(at.y - lastAt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) && wait > 0)
        Sleep(static_cast<DWORD>(wait * 1000));
    MovePointer(at);
    std::vector<INPUT> inputs;
    for (int i = 0; i < times; ++i) {
        inputs.push_back(Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, at));
        inputs.push_back(Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, at));
    }
    Send(inputs);
    lastAt = at;
    lastTime = Seconds();
}

// A drag with the left button as the X server gets it from a user's hand
// (xdotool on the desktop's display, whose screen is the virtual desktop's):
// pressed at `from`, moved there in steps, let go at `to`. False when it did
// not run to its end.
inline bool Drag(POINT from, POINT to, int steps = 10) {
    const auto at = [](POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); };
    std::wstring moves = L"xdotool mousemove " + at(from) + L" mousedown 1";
    for (int i = 1; i <= steps; ++i) {
        moves += L" sleep 0.02 mousemove " +
                 at({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    }
    return HostShell(moves + L" sleep 0.02 mouseup 1", L"", 10000).ends_with("exit status 0\n");
}

inline void RightClick(POINT at) {
    MovePointer(at);
    Send({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTDOWN, at), Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTUP, at)});
}

inline INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

inline void PressKey(WORD vk) { Send({Key(vk, false), Key(vk, true)}); }

// Types a text key by key; a backspace character presses Backspace.
inline void Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        if (c == L'\b') {
            inputs.push_back(Key(VK_BACK, false));
            inputs.push_back(Key(VK_BACK, true));
            continue;
        }
        const SHORT scan = VkKeyScanW(c);
        const WORD vk = LOBYTE(scan);
        const bool shift = (HIBYTE(scan) & 1) != 0;
        if (shift) inputs.push_back(Key(VK_SHIFT, false));
        inputs.push_back(Key(vk, false));
        inputs.push_back(Key(vk, true));
        if (shift) inputs.push_back(Key(VK_SHIFT, true));
    }
    Send(inputs);
}

}  // namespace e2e
