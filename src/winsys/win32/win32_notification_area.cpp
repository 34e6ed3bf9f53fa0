#include "winsys/win32/win32_notification_area.h"

#include <algorithm>
#include <string>
#include <vector>

#include "winsys/win32/win32_handles.h"
#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {
namespace {

constexpr UINT kIconMessage = WM_APP + 2;
constexpr UINT kIconId = 1;

// The text as much as fits the field, its terminator included, never half of
// a character.
template <std::size_t N>
void CopyInto(wchar_t (&field)[N], std::string_view text) {
    const std::wstring wide = Utf8ToWide(text);
    std::size_t length = std::min(wide.size(), N - 1);
    if (length < wide.size() && length > 0 && IS_HIGH_SURROGATE(wide[length - 1])) --length;
    std::copy_n(wide.begin(), length, field);
    field[length] = L'\0';
}

}  // namespace

Win32NotificationArea::Win32NotificationArea(HICON icon)
    : icon_(icon),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")),
      window_([this](UINT message, WPARAM wParam, LPARAM lParam) { return Handle(message, wParam, lParam); },
              MessageWindow::Kind::HiddenTopLevel) {
    // Let the shell's word through to a Kestrum run with higher rights.
    if (window_.Get() != nullptr && taskbarCreated_ != 0) {
        ChangeWindowMessageFilterEx(window_.Get(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
    }
}

Win32NotificationArea::~Win32NotificationArea() { Hide(); }

void Win32NotificationArea::Listen(Chosen chosen) { chosen_ = std::move(chosen); }

NOTIFYICONDATAW Win32NotificationArea::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_.Get();
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = icon_;
    CopyInto(data.szTip, look_.tip);
    return data;
}

void Win32NotificationArea::Add() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    // An icon still there (the taskbar said it was made anew, and kept it)
    // is not added again: it is changed.
    added_ = window_.Get() != nullptr && (Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data));
    if (!added_) return;
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void Win32NotificationArea::Show(const IconLook& look) {
    look_ = look;
    wanted_ = true;
    NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
    if (!added_ || !Shell_NotifyIconW(NIM_MODIFY, &data)) {
        added_ = false;
        Add();
    }
}

void Win32NotificationArea::Hide() {
    // Deleted whether or not adding it seemed to work: an icon left behind
    // would stay until the pointer passes over it.
    if (wanted_ && window_.Get() != nullptr) {
        NOTIFYICONDATAW data = Data(0);
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    wanted_ = false;
    added_ = false;
}

bool Win32NotificationArea::Notify(std::string_view text) {
    if (!added_) return false;
    NOTIFYICONDATAW data = Data(NIF_INFO);
    CopyInto(data.szInfo, text);
    CopyInto(data.szInfoTitle, "Kestrum");
    data.dwInfoFlags = NIIF_WARNING | NIIF_RESPECT_QUIET_TIME;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool Win32NotificationArea::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // The shell started again (or late), or says so: shown anew.
        if (wanted_) Add();
        return true;
    }
    if (message != kIconMessage) return false;
    // Version 4: the event in the low word, the place clicked in wParam.
    switch (LOWORD(lParam)) {
        case WM_CONTEXTMENU:
            OpenMenu({static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))});
            break;
        case WM_LBUTTONDBLCLK:
        case NIN_SELECT:
        case NIN_KEYSELECT: {  // Enter or Space on the icon, as a double click
            const auto item = std::find_if(look_.menu.begin(), look_.menu.end(),
                                           [](const IconMenuItem& i) { return i.isDefault; });
            if (item != look_.menu.end()) Choose(item->command);
            break;
        }
        default: break;
    }
    return true;
}

void Win32NotificationArea::OpenMenu(POINT at) {
    if (menuOpen_) return;
    const std::vector<IconMenuItem> items = look_.menu;  // the look may change while the menu is open
    const UniqueMenu menu(CreatePopupMenu());
    if (menu.Get() == nullptr) return;
    UINT id = 1;
    for (const IconMenuItem& item : items) {
        AppendMenuW(menu.Get(), MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED), id,
                    Utf8ToWide(item.text).c_str());
        if (item.isDefault) SetMenuDefaultItem(menu.Get(), id, FALSE);
        ++id;
    }
    // In the foreground, or a click elsewhere would not close the menu; the
    // message after it lets the menu go as it should.
    SetForegroundWindow(window_.Get());
    const UINT side = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    menuOpen_ = true;
    const BOOL chosen = TrackPopupMenuEx(menu.Get(), side | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD |
                                                         TPM_NONOTIFY, at.x, at.y, window_.Get(), nullptr);
    menuOpen_ = false;
    PostMessageW(window_.Get(), WM_NULL, 0, 0);
    if (chosen == 0) {
        // Closed with Esc (or a click elsewhere): the focus back to the icon.
        NOTIFYICONDATAW data = Data(0);
        Shell_NotifyIconW(NIM_SETFOCUS, &data);
    }
    if (chosen > 0 && static_cast<std::size_t>(chosen) <= items.size()) Choose(items[chosen - 1].command);
}

void Win32NotificationArea::Choose(IconCommand command) {
    if (chosen_) chosen_(command);
}

}  // namespace kestrum::win32
