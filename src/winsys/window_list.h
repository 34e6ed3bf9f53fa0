// A list of found windows, as one list box of the main window shows it: ordered,
// unsorted entries, each a display text and a 32-bit item value (a handle).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrum {

// Entry indexes are signed 16-bit; -1 means "no entry".
using ListIndex = std::int16_t;
inline constexpr ListIndex kNoEntry = -1;
// A list holds at most this many entries; appending beyond it fails.
inline constexpr ListIndex kMaxListEntries = INT16_MAX;

class WindowList {
public:
    virtual ~WindowList() = default;

    virtual void Clear() = 0;
    // Appends an entry at the end and returns its index, or kNoEntry when the
    // entry could not be added.
    virtual ListIndex AddItem(std::string_view text) = 0;
    virtual ListIndex ListCount() const = 0;
    virtual std::string ItemText(ListIndex index) const = 0;
    // 0 for an index that names no entry.
    virtual std::int32_t ItemData(ListIndex index) const = 0;
    virtual void SetItemData(ListIndex index, std::int32_t value) = 0;
    virtual ListIndex SelectedIndex() const = 0;
    // Selects the entry (kNoEntry clears the selection) and raises the
    // selection-change event before returning, just as a user's choice does.
    virtual void SetSelectedIndex(ListIndex index) = 0;
    virtual void OnSelectionChange(std::function<void()> handler) = 0;
};

}  // namespace kestrum
