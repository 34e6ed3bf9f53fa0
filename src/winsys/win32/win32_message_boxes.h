// MessageBoxes over user32, for the Windows build.
#pragma once

#include <windows.h>

#include "winsys/message_boxes.h"

namespace kestrum::win32 {

// The call that shows a message box: MessageBoxW, or a recorder in tests.
using MessageBoxCall = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);

class Win32MessageBoxes final : public MessageBoxes {
public:
    explicit Win32MessageBoxes(MessageBoxCall showBox = MessageBoxW) : showBox_(showBox) {}

    // Boxes are owned by this window while it is visible, and by no window
    // otherwise (the start-up's boxes come before any window shows).
    void SetOwner(HWND owner) { owner_ = owner; }

    // OK only, no icon, "Kestrum" as caption. A box with no owner is brought
    // to the front: nothing of ours is there for it to stand on.
    void Show(std::string_view text) override;
    // False in a window station that is not visible.
    bool CanBeAnswered() override;

private:
    MessageBoxCall showBox_;
    HWND owner_ = nullptr;
};

}  // namespace kestrum::win32
