#include "ui/win32/win32_window_list.h"

#include <string>

#include "winsys/win32_text.h"

namespace kestrum::win32 {

void Win32WindowList::Attach(HWND listBox) {
    listBox_ = listBox;
    if (listBox_ == nullptr) {
        pending_.Clear();
        return;
    }
    // An entry the list box refuses is left out; the selection follows its
    // entry, or is cleared when that entry was left out.
    const ListIndex selected = pending_.SelectedIndex();
    ListIndex carriedSelection = kNoEntry;
    for (ListIndex i = 0; i < pending_.ListCount(); ++i) {
        const ListIndex at = AddItem(pending_.ItemText(i));
        if (at == kNoEntry) continue;
        SetItemData(at, pending_.ItemData(i));
        if (i == selected) carriedSelection = at;
    }
    Send(LB_SETCURSEL, static_cast<WPARAM>(carriedSelection));  // kNoEntry: -1, none
    pending_.Clear();
}

void Win32WindowList::Clear() {
    if (listBox_ == nullptr) return pending_.Clear();
    Send(LB_RESETCONTENT);
}

ListIndex Win32WindowList::AddItem(std::string_view text) {
    if (listBox_ == nullptr) return pending_.AddItem(text);
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
    if (listBox_ == nullptr) return pending_.ListCount();
    const LRESULT count = Send(LB_GETCOUNT);
    if (count < 0) return 0;
    return count > kMaxListEntries ? kMaxListEntries : static_cast<ListIndex>(count);
}

std::string Win32WindowList::ItemText(ListIndex index) const {
    if (listBox_ == nullptr) return pending_.ItemText(index);
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
    if (listBox_ == nullptr) return pending_.ItemData(index);
    // Checked first: LB_ERR is also a value an entry may carry.
    if (!Holds(index)) return 0;
    return static_cast<std::int32_t>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

void Win32WindowList::SetItemData(ListIndex index, std::int32_t value) {
    if (listBox_ == nullptr) return pending_.SetItemData(index, value);
    if (!Holds(index)) return;
    Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
}

ListIndex Win32WindowList::SelectedIndex() const {
    if (listBox_ == nullptr) return pending_.SelectedIndex();
    const LRESULT index = Send(LB_GETCURSEL);
    if (index < 0 || index > kMaxListEntries) return kNoEntry;
    return static_cast<ListIndex>(index);
}

void Win32WindowList::SetSelectedIndex(ListIndex index) {
    if (listBox_ == nullptr) {
        pending_.SetSelectedIndex(index);  // raises nothing: it has no handler
    } else {
        // An index that names no entry clears the selection (-1 as WPARAM).
        Send(LB_SETCURSEL, Holds(index) ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1));
    }
    if (onSelectionChange_) onSelectionChange_();
}

}  // namespace kestrum::win32
