// WindowList held in memory: a list of the form while its window does not
// exist (see DeferredFormSurface), and the base of the tests' list.
#pragma once

#include <utility>
#include <vector>

#include "winsys/window_list.h"

namespace kestrum {

class HeldWindowList : public WindowList {
public:
    // Reading.
    ListIndex ListCount() const override;
    std::string ItemText(ListIndex index) const override;
    std::int32_t ItemData(ListIndex index) const override;
    ListIndex SelectedIndex() const override { return selected_; }
    // Changing.
    ListIndex AddItem(std::string_view text) override;
    void SetItemData(ListIndex index, std::int32_t value) override;
    void Clear() override;
    void SetSelectedIndex(ListIndex index) override;
    void OnSelectionChange(std::function<void()> handler) override {
        onSelectionChange_ = std::move(handler);
    }
    const std::function<void()>& SelectionHandler() const { return onSelectionChange_; }

private:
    bool Holds(ListIndex index) const;

    std::vector<std::pair<std::string, std::int32_t>> entries_;
    ListIndex selected_ = kNoEntry;
    std::function<void()> onSelectionChange_;
};

}  // namespace kestrum
