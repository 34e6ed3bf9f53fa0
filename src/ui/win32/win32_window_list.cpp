#include "ui/win32/win32_window_list.h"

#include <string>

#include "winsys/win32_text.h"

namespace kestrum::win32 {

void Win32WindowList::Clear() {
    Send(LB_RESETCONTENT);
}

ListIndex Win32WindowList::AddItem(std::string_view text) {
    const std::wstring wide = Utf8ToWide(text);
    const LRESULT index = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE || index < 0) return kNoEntry;
    if (index >= kMaxListEntries) {
        // More entries than the list may hold (as in memory): take it back.
        Send(LB_DELETESTRING, static_cast<WPARAM>(index));
        return kNoEntry;
    }
    return static_cast<ListIndex>(index);
}

ListIndex Win32WindowList::ListCount() const {
    const LRESULT count = Send(LB_GETCOUNT);
    if (count < 0) return 0;
    return count > kMaxListEntries ? kMaxListEntries : static_cast<ListIndex>(count);
}

std::string Win32WindowList::ItemText(ListIndex index) const {
    if (!Holds(index)) return {};
    const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    if (copied <= 0) return {};
    wide.resize(static_cast<std::size_t>(copied < length ? copied : length));
    return WideToUtf8(wide);
}

std::int32_t Win32WindowList::ItemData(ListIndex index) const {
    // Checked first: LB_ERR is also a value an entry may carry.
    if (!Holds(index)) return 0;
    return static_cast<std::int32_t>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

void Win32WindowList::SetItemData(ListIndex index, std::int32_t value) {
    if (!Holds(index)) return;
    Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
}

ListIndex Win32WindowList::SelectedIndex() const {
    const LRESULT index = Send(LB_GETCURSEL);
    if (index < 0 || index > kMaxListEntries) return kNoEntry;
    return static_cast<ListIndex>(index);
}

void Win32WindowList::SetSelectedIndex(ListIndex index) {
    // An index that names no entry clears the selection (-1 as WPARAM).
    Send(LB_SETCURSEL, Holds(index) ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1));
    if (onSelectionChange_) onSelectionChange_();
}

}  // namespace kestrum::win32
