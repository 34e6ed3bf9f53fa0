#include "ui/held_window_list.h"

namespace kestrum {

bool HeldWindowList::Holds(ListIndex index) const {
    return index >= 0 && static_cast<std::size_t>(index) < entries_.size();
}

void HeldWindowList::Clear() {
    entries_.clear();
    selected_ = kNoEntry;
}

ListIndex HeldWindowList::AddItem(std::string_view text) {
    if (entries_.size() >= static_cast<std::size_t>(kMaxListEntries)) return kNoEntry;
    entries_.emplace_back(std::string(text), 0);
    return static_cast<ListIndex>(entries_.size() - 1);
}

ListIndex HeldWindowList::ListCount() const { return static_cast<ListIndex>(entries_.size()); }

std::string HeldWindowList::ItemText(ListIndex index) const {
    return Holds(index) ? entries_[static_cast<std::size_t>(index)].first : std::string();
}

std::int32_t HeldWindowList::ItemData(ListIndex index) const {
    return Holds(index) ? entries_[static_cast<std::size_t>(index)].second : 0;
}

void HeldWindowList::SetItemData(ListIndex index, std::int32_t value) {
    if (Holds(index)) entries_[static_cast<std::size_t>(index)].second = value;
}

void HeldWindowList::SetSelectedIndex(ListIndex index) {
    selected_ = Holds(index) ? index : kNoEntry;
    if (onSelectionChange_) onSelectionChange_();
}

}  // namespace kestrum
