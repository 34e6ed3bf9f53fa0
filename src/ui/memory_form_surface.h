// FormSurface held in memory, for the portable build and the tests.
#pragma once

#include <array>

#include "ui/form_surface.h"
#include "ui/memory_window_list.h"

namespace kestrum {

class MemoryFormSurface final : public FormSurface {
public:
    WindowList& List1(int index) override { return lists_.at(static_cast<std::size_t>(index)); }
    MemoryWindowList& List(int index) { return lists_.at(static_cast<std::size_t>(index)); }

    std::string Text1() const override { return text_; }
    void SetText1(std::string_view text) override { text_ = text; }
    void SelectText1(int start, int length) override {
        selectionStart_ = start;
        selectionLength_ = length;
    }
    void SetVisible(bool visible) override {
        visible_ = visible;
        everShown_ = everShown_ || visible;
    }

    int SelectionStart() const { return selectionStart_; }
    int SelectionLength() const { return selectionLength_; }
    bool Visible() const { return visible_; }
    bool EverShown() const { return everShown_; }

private:
    std::array<MemoryWindowList, 3> lists_;
    std::string text_;
    int selectionStart_ = 0;
    int selectionLength_ = 0;
    bool visible_ = false;
    bool everShown_ = false;
};

}  // namespace kestrum
