// FormSurface over the real main window and its controls.
//
// The window is created only when start-up first shows it, so that a run
// that ends at start-up (no client, /AUTO applied or failed, a width out of
// range) never creates a window at all: under Wine the first window of a
// process also loads the display driver, the larger part of the start.
// Until then the field's text and selection are held here and the lists'
// entries by the lists; Attach carries them into the controls, which from
// then on are the only place they live. The controls belong to the main
// window; this object only talks to them.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "ui/form_surface.h"
#include "ui/win32/win32_window_list.h"

namespace kestrum::win32 {

class Win32FormSurface final : public FormSurface {
public:
    // Called by the first SetVisible(true): creates the window, hidden, and
    // attaches it; false when it could not.
    void OnCreateWindow(std::function<bool()> create) { createWindow_ = std::move(create); }
    // Moves the field's text and selection held so far into text1. nullptr
    // for both detaches: the window is gone, and the field starts again
    // empty, in memory.
    void Attach(HWND form, HWND text1);
    Win32WindowList& List(int index) { return lists_.at(static_cast<std::size_t>(index)); }

    WindowList& List1(int index) override { return List(index); }
    std::string Text1() const override;
    void SetText1(std::string_view text) override;
    void SelectAllText1() override;
    // Hiding a window that does not exist yet does nothing; showing it
    // creates it first.
    void SetVisible(bool visible) override;

private:
    HWND form_ = nullptr;
    HWND text1_ = nullptr;
    std::array<Win32WindowList, 3> lists_;
    std::function<bool()> createWindow_;
    // The field while there is no window.
    std::string pendingText_;
    bool pendingSelectAll_ = false;
};

}  // namespace kestrum::win32
