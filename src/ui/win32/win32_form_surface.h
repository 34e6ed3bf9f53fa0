// FormSurface over the real main window and its controls. The controls
// belong to the main window; this object only talks to them.
#pragma once

#include <windows.h>

#include <array>

#include "ui/form_surface.h"
#include "ui/win32/win32_window_list.h"

namespace kestrum::win32 {

class Win32FormSurface final : public FormSurface {
public:
    void Attach(HWND form, HWND text1) {
        form_ = form;
        text1_ = text1;
    }
    Win32WindowList& List(int index) { return lists_.at(static_cast<std::size_t>(index)); }

    WindowList& List1(int index) override { return List(index); }
    std::string Text1() const override;
    void SetText1(std::string_view text) override;
    void SelectText1(int start, int length) override;
    void SetVisible(bool visible) override;

private:
    HWND form_ = nullptr;
    HWND text1_ = nullptr;
    std::array<Win32WindowList, 3> lists_;
};

}  // namespace kestrum::win32
