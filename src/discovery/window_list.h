// A list of found windows: ordered, unsorted entries, each a display text and
// a 32-bit item value (a handle), with a selected entry. The main window's
// three lists are of this kind; the visible one is shown by a list box.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

// Entry indexes are signed 16-bit; -1 means "no entry".
using ListIndex = std::int16_t;
inline constexpr ListIndex kNoEntry = -1;
// A list holds at most this many entries; appending beyond it fails.
inline constexpr ListIndex kMaxListEntries = INT16_MAX;

class WindowList {
public:
    struct Entry {
        std::string text;
        std::int32_t value = 0;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    void Clear();
    // Appends an entry at the end and returns its index, or kNoEntry when the
    // list is full.
    ListIndex AddItem(std::string_view text);
    ListIndex ListCount() const { return static_cast<ListIndex>(entries_.size()); }
    // "" and 0 for an index that names no entry.
    std::string ItemText(ListIndex index) const;
    std::int32_t ItemData(ListIndex index) const;
    void SetItemData(ListIndex index, std::int32_t value);
    const std::vector<Entry>& Entries() const { return entries_; }

    ListIndex SelectedIndex() const { return selected_; }
    // Selects the entry (an index that names none clears the selection) and
    // raises the selection change before returning, as a user's choice does.
    void SetSelectedIndex(ListIndex index);
    void OnSelectionChange(std::function<void()> handler) { onSelectionChange_ = std::move(handler); }

private:
    bool Holds(ListIndex index) const {
        return index >= 0 && static_cast<std::size_t>(index) < entries_.size();
    }

    std::vector<Entry> entries_;
    ListIndex selected_ = kNoEntry;
    std::function<void()> onSelectionChange_;
};

}  // namespace kestrum
