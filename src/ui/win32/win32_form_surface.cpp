#include "ui/win32/win32_form_surface.h"

#include <string>

#include "winsys/win32_text.h"

namespace kestrum::win32 {

std::string Win32FormSurface::Text1() const {
    const int length = GetWindowTextLengthW(text1_);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(text1_, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return WideToUtf8(text);
}

void Win32FormSurface::SetText1(std::string_view text) {
    SetWindowTextW(text1_, Utf8ToWide(text).c_str());
}

void Win32FormSurface::SelectAllText1() { SendMessageW(text1_, EM_SETSEL, 0, -1); }

void Win32FormSurface::SetVisible(bool visible) { ShowWindow(form_, visible ? SW_SHOW : SW_HIDE); }

}  // namespace kestrum::win32
