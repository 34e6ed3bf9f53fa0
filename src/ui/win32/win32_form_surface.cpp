#include "ui/win32/win32_form_surface.h"

#include <climits>
#include <string>

#include "winsys/win32_text.h"

namespace kestrum::win32 {
namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// UTF-16 units taken by the first `characters` characters of text, where a
// surrogate pair is one character.
int Utf16Units(const std::wstring& text, int characters) {
    std::size_t at = 0;
    for (int i = 0; i < characters && at < text.size(); ++i) {
        at += IsHighSurrogate(text[at]) && at + 1 < text.size() ? 2 : 1;
    }
    return static_cast<int>(at);
}

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
        SelectText1(pendingStart_, pendingLength_);
    }
    pendingText_.clear();
    pendingStart_ = 0;
    pendingLength_ = 0;
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

void Win32FormSurface::SelectText1(int start, int length) {
    if (text1_ == nullptr) {
        pendingStart_ = start;
        pendingLength_ = length;
        return;
    }
    if (start < 0) start = 0;
    if (length < 0) length = 0;
    const std::wstring text = WindowTextW(text1_);
    const int from = Utf16Units(text, start);
    const int to = Utf16Units(text, start + (length > INT_MAX - start ? INT_MAX - start : length));
    SendMessageW(text1_, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
}

void Win32FormSurface::SetVisible(bool visible) {
    if (form_ == nullptr) {
        if (!visible || !createWindow_ || !createWindow_() || form_ == nullptr) return;
    }
    ShowWindow(form_, visible ? SW_SHOW : SW_HIDE);
}

}  // namespace kestrum::win32
