#include "ui/win32/win32_form_surface.h"

#include <string>

#include "winsys/win32_text.h"

namespace kestrum::win32 {
namespace {

std::wstring WindowTextW(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace

void Win32FormSurface::Attach(HWND form, HWND text1) {
    form_ = form;
    text1_ = text1;
    if (text1_ != nullptr) {
        SetText1(pendingText_);
        if (pendingSelectAll_) SelectAllText1();
    }
    pendingText_.clear();
    pendingSelectAll_ = false;
}

std::string Win32FormSurface::Text1() const {
    if (text1_ == nullptr) return pendingText_;
    return WideToUtf8(WindowTextW(text1_));
}

void Win32FormSurface::SetText1(std::string_view text) {
    if (text1_ == nullptr) {
        pendingText_ = text;
        return;
    }
    SetWindowTextW(text1_, Utf8ToWide(text).c_str());
}

void Win32FormSurface::SelectAllText1() {
    if (text1_ == nullptr) {
        pendingSelectAll_ = true;
        return;
    }
    SendMessageW(text1_, EM_SETSEL, 0, -1);
}

void Win32FormSurface::SetVisible(bool visible) {
    if (form_ == nullptr) {
        if (!visible || !createWindow_ || !createWindow_() || form_ == nullptr) return;
    }
    ShowWindow(form_, visible ? SW_SHOW : SW_HIDE);
}

}  // namespace kestrum::win32
