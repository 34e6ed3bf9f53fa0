// FormSurface over the main window and its controls, once they exist (until
// then the form is held in memory: see DeferredFormSurface). The controls
// belong to the main window; this object only talks to them.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "ui/form_surface.h"
#include "ui/win32/win32_window_list.h"

namespace kestrum::win32 {

class Win32FormSurface final : public FormSurface {
public:
    Win32FormSurface(HWND form, HWND text1, const std::array<HWND, 3>& lists)
        : form_(form), text1_(text1), lists_{Win32WindowList(lists[0]), Win32WindowList(lists[1]),
                                             Win32WindowList(lists[2])} {}

    WindowList& List1(int index) override { return lists_.at(static_cast<std::size_t>(index)); }
    std::string Text1() const override;
    void SetText1(std::string_view text) override;
    void SelectAllText1() override;
    void SetVisible(bool visible) override;

private:
    HWND form_;
    HWND text1_;
    std::array<Win32WindowList, 3> lists_;
};

}  // namespace kestrum::win32
