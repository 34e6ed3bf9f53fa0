// NotificationArea over the shell's Shell_NotifyIconW, for the Windows build:
// one icon (NOTIFYICON_VERSION_4) on a hidden top-level window of its own,
// which hears the icon's clicks and the taskbar made anew (the icon is then
// added again). The menu runs in Windows' own modal menu loop
// (TrackPopupMenuEx), the one loop a handler may enter: the timers and the
// window events go on coming through it meanwhile.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "winsys/notification_area.h"
#include "winsys/win32/message_window.h"

namespace kestrum::win32 {

class Win32NotificationArea final : public NotificationArea {
public:
    // `icon` is shown in the area; it must outlive this (a shared icon).
    explicit Win32NotificationArea(HICON icon);
    ~Win32NotificationArea() override;
    Win32NotificationArea(const Win32NotificationArea&) = delete;
    Win32NotificationArea& operator=(const Win32NotificationArea&) = delete;

    void Listen(Chosen chosen) override;
    void Show(const IconLook& look) override;
    void Hide() override;
    bool Notify(std::string_view text) override;

    // What `chosen` threw ends the thread's message loop; thrown on from here.
    void RethrowFailure() const { window_.RethrowFailure(); }

private:
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Add();
    void OpenMenu(POINT at);
    void Choose(IconCommand command);
    NOTIFYICONDATAW Data(UINT flags) const;

    HICON icon_;
    UINT taskbarCreated_;
    IconLook look_;
    bool wanted_ = false;  // shown, or to be as soon as there is an area
    bool added_ = false;
    bool menuOpen_ = false;
    Chosen chosen_;
    MessageWindow window_;
};

}  // namespace kestrum::win32
