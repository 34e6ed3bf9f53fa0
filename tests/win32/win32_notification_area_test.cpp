// The icon on the notification area of Wine's tray: it follows what it is
// told after the taskbar is said to be made anew (the icon still there),
// is deleted at the end, and opens Kestrum from the keyboard.
#include "winsys/win32/win32_notification_area.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "win32_fixture.h"

namespace kestrum::win32 {
namespace {

BOOL CALLBACK NoteAreaWindow(HWND h, LPARAM out) {
    wchar_t name[64] = L"";
    GetClassNameW(h, name, 64);
    if (std::wstring(name) == L"KestrumMessages" && (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) {
        *reinterpret_cast<HWND*>(out) = h;
    }
    return TRUE;
}

// The area's own hidden window, the one top-level window of this thread of its class.
HWND AreaWindow() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), NoteAreaWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(Win32NotificationAreaTest, FollowsTheWatchAfterTheTaskbarIsMadeAnewAndGoesAtTheEnd) {
    Win32NotificationArea area(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
    std::vector<IconCommand> chosen;
    area.Listen([&](IconCommand command) { chosen.push_back(command); });
    area.Show({"Kestrum: 300", {{"&Open Kestrum", IconCommand::Open, false, true}}});
    const HWND window = AreaWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(area.Notify("shown")) << "no icon on this display";
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    area.Show({"Kestrum: 300, paused", {{"&Open Kestrum", IconCommand::Open, false, true}}});
    EXPECT_TRUE(area.Notify("still told")) << "notices dropped after the taskbar was made anew";
    // Enter or Space on the focused icon, as the shell reports them.
    for (const UINT key : {NIN_KEYSELECT, NIN_SELECT}) SendMessageW(window, WM_APP + 2, 0, MAKELPARAM(key, 1));
    EXPECT_EQ(chosen, (std::vector<IconCommand>{IconCommand::Open, IconCommand::Open}));
    area.Hide();
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "the icon is still there";
}

}  // namespace
}  // namespace kestrum::win32
