// FormSurface held in memory, for the tests.
#pragma once

#include <array>

#include "ui/form_surface.h"
#include "support/memory_window_list.h"

namespace kestrum {

class MemoryFormSurface final : public FormSurface {
public:
    WindowList& List1(int index) override { return lists_.at(static_cast<std::size_t>(index)); }
    MemoryWindowList& List(int index) { return lists_.at(static_cast<std::size_t>(index)); }

    std::string Text1() const override { return text_; }
    // A new text drops the selection, as in an edit control.
    void SetText1(std::string_view text) override {
        text_ = text;
        allSelected_ = false;
    }
    void SelectAllText1() override { allSelected_ = true; }
    void SetVisible(bool visible) override {
        visible_ = visible;
        everShown_ = everShown_ || visible;
    }

    bool AllSelected() const { return allSelected_; }
    bool Visible() const { return visible_; }
    bool EverShown() const { return everShown_; }

private:
    std::array<MemoryWindowList, 3> lists_;
    std::string text_;
    bool allSelected_ = false;
    bool visible_ = false;
    bool everShown_ = false;
};

}  // namespace kestrum
