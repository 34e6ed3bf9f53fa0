#include "ui/memory_window_list.h"

#include <new>

namespace kestrum {

bool MemoryWindowList::Holds(ListIndex index) const {
    return index >= 0 && static_cast<std::size_t>(index) < entries_.size();
}

void MemoryWindowList::Clear() {
    entries_.clear();
    selected_ = kNoEntry;
}

ListIndex MemoryWindowList::AddItem(std::string_view text) {
    if (!failingPart_.empty() && text.find(failingPart_) != std::string_view::npos) {
        throw std::bad_alloc();
    }
    if (entries_.size() >= static_cast<std::size_t>(kMaxListEntries)) return kNoEntry;
    entries_.emplace_back(std::string(text), 0);
    return static_cast<ListIndex>(entries_.size() - 1);
}

ListIndex MemoryWindowList::ListCount() const { return static_cast<ListIndex>(entries_.size()); }

std::string MemoryWindowList::ItemText(ListIndex index) const {
    return Holds(index) ? entries_[static_cast<std::size_t>(index)].first : std::string();
}

std::int32_t MemoryWindowList::ItemData(ListIndex index) const {
    return Holds(index) ? entries_[static_cast<std::size_t>(index)].second : 0;
}

void MemoryWindowList::SetItemData(ListIndex index, std::int32_t value) {
    if (Holds(index)) entries_[static_cast<std::size_t>(index)].second = value;
}

void MemoryWindowList::SetSelectedIndex(ListIndex index) {
    selected_ = Holds(index) ? index : kNoEntry;
    if (onSelectionChange_) onSelectionChange_();
}

}  // namespace kestrum
