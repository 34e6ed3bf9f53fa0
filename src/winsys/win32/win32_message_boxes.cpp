#include "winsys/win32/win32_message_boxes.h"

#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_window_station.h"

namespace kestrum::win32 {
namespace {

constexpr wchar_t kCaption[] = L"Kestrum";

}  // namespace

void Win32MessageBoxes::Show(std::string_view text) {
    const HWND owner = owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : nullptr;
    // Without an owner (an unattended run's message, shown before any window
    // of ours exists) the box could open behind other windows and wait there
    // unseen.
    const UINT style = MB_OK | (owner == nullptr ? MB_SETFOREGROUND : 0);
    showBox_(owner, Utf8ToWide(text).c_str(), kCaption, style);
}

bool Win32MessageBoxes::CanBeAnswered() { return WindowStationVisible(); }

}  // namespace kestrum::win32
