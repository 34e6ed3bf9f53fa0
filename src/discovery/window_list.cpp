#include "discovery/window_list.h"

namespace kestrum {

void WindowList::Clear() {
    entries_.clear();
    selected_ = kNoEntry;
}

ListIndex WindowList::AddItem(std::string_view text) {
    if (entries_.size() >= static_cast<std::size_t>(kMaxListEntries)) return kNoEntry;
    entries_.push_back({std::string(text), 0});
    return static_cast<ListIndex>(entries_.size() - 1);
}

std::string WindowList::ItemText(ListIndex index) const {
    return Holds(index) ? entries_[static_cast<std::size_t>(index)].text : std::string();
}

std::int32_t WindowList::ItemData(ListIndex index) const {
    return Holds(index) ? entries_[static_cast<std::size_t>(index)].value : 0;
}

void WindowList::SetItemData(ListIndex index, std::int32_t value) {
    if (Holds(index)) entries_[static_cast<std::size_t>(index)].value = value;
}

void WindowList::SetSelectedIndex(ListIndex index) {
    selected_ = Holds(index) ? index : kNoEntry;
    if (onSelectionChange_) onSelectionChange_();
}

}  // namespace kestrum
