// WindowList held in memory: the portable build's list and the tests' list.
#pragma once

#include <utility>
#include <vector>

#include "winsys/window_list.h"

namespace kestrum {

class MemoryWindowList final : public WindowList {
public:
    void Clear() override;
    ListIndex AddItem(std::string_view text) override;
    ListIndex ListCount() const override;
    std::string ItemText(ListIndex index) const override;
    std::int32_t ItemData(ListIndex index) const override;
    void SetItemData(ListIndex index, std::int32_t value) override;
    ListIndex SelectedIndex() const override { return selected_; }
    void SetSelectedIndex(ListIndex index) override;
    void OnSelectionChange(std::function<void()> handler) override {
        onSelectionChange_ = std::move(handler);
    }

    // For tests: appending a text that contains `part` throws std::bad_alloc,
    // as when memory runs out on the way; the list is left as it was.
    void FailAppendsContaining(std::string part) { failingPart_ = std::move(part); }

private:
    bool Holds(ListIndex index) const;

    std::vector<std::pair<std::string, std::int32_t>> entries_;
    ListIndex selected_ = kNoEntry;
    std::function<void()> onSelectionChange_;
    std::string failingPart_;
};

}  // namespace kestrum
