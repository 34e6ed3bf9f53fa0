// Kestrum's message boxes as a user meets them: the text, the buttons, an
// icon or none; answered by pressing OK.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop.h"
#include "e2e_common.h"

namespace e2e {

inline constexpr wchar_t kNoClient[] = L"no C/Side Application found";
inline constexpr wchar_t kNoPane[] = L"NavPane was not found";

struct BoxSeen {
    std::wstring text;
    std::wstring buttons;  // the visible buttons' texts, comma-separated
    bool icon = false;
};

inline BoxSeen ReadBox(HWND box) {
    BoxSeen seen;
    for (HWND h : Children(box)) {
        const std::wstring cls = ClassOf(h);
        if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsWindowVisible(h)) {
            seen.buttons += (seen.buttons.empty() ? L"" : L",") + TextOf(h);
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0 && IsWindowVisible(h)) {
            DWORD_PTR icon = 0;
            if ((GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                SendMessageTimeoutW(h, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
                seen.icon = seen.icon || icon != 0;
            } else if (GetDlgCtrlID(h) == 0xFFFF) {
                seen.text = TextOf(h);
            }
        }
    }
    return seen;
}

// Checks that the box offers OK alone and shows no icon, presses OK and
// gives the box 5 s to go.
inline void PressOk(HWND box, const BoxSeen& seen) {
    EXPECT_EQ(Narrow(seen.buttons), "OK") << "the message box's buttons";
    EXPECT_FALSE(seen.icon) << "the message box shows an icon; Kestrum's show none";
    for (HWND h : Children(box)) {
        if (GetDlgCtrlID(h) == IDOK) PostMessageW(h, BM_CLICK, 0, 0);
    }
    WaitUntil([&] { return IsWindow(box) == FALSE; }, 5000);
}

// Checks the box's text, exactly, then answers it.
inline void AnswerBox(HWND box, const std::wstring& expected) {
    const BoxSeen seen = ReadBox(box);
    EXPECT_EQ(Narrow(seen.text), Narrow(expected)) << "the message box's text";
    PressOk(box, seen);
}

// Checks that the box's text holds each of `parts`, then answers it.
inline void AnswerBoxHolding(HWND box, const std::vector<std::wstring>& parts) {
    const BoxSeen seen = ReadBox(box);
    for (const std::wstring& part : parts) {
        EXPECT_TRUE(seen.text.find(part) != std::wstring::npos)
            << "the message box's text should hold \"" << Narrow(part) << "\"; it is \""
            << Narrow(seen.text) << "\"";
    }
    PressOk(box, seen);
}

}  // namespace e2e
