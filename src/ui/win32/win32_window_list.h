// WindowList over a list box of the main window. The list box belongs to the
// main window, which destroys it; this object only talks to it.
#pragma once

#include <windows.h>

#include <functional>

#include "winsys/window_list.h"

namespace kestrum::win32 {

class Win32WindowList final : public WindowList {
public:
    explicit Win32WindowList(HWND listBox) : listBox_(listBox) {}

    void Clear() override;
    ListIndex AddItem(std::string_view text) override;
    ListIndex ListCount() const override;
    std::string ItemText(ListIndex index) const override;
    std::int32_t ItemData(ListIndex index) const override;
    void SetItemData(ListIndex index, std::int32_t value) override;
    ListIndex SelectedIndex() const override;
    // LB_SETCURSEL raises no LBN_SELCHANGE, so the handler is called here.
    void SetSelectedIndex(ListIndex index) override;
    void OnSelectionChange(std::function<void()> handler) override {
        onSelectionChange_ = std::move(handler);
    }

private:
    bool Holds(ListIndex index) const { return index >= 0 && index < ListCount(); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(listBox_, message, wParam, lParam);
    }

    HWND listBox_;
    std::function<void()> onSelectionChange_;
};

}  // namespace kestrum::win32
