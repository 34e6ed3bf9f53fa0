#include "ui/held_form_surface.h"

namespace kestrum {

void HeldFormSurface::SetText1(std::string_view text) {
    text_ = text;
    allSelected_ = false;
}

void HeldFormSurface::MoveInto(FormSurface& to) {
    for (int i = 0; i < static_cast<int>(lists_.size()); ++i) {
        HeldWindowList& from = List(i);
        WindowList& into = to.List1(i);
        into.Clear();
        ListIndex carriedSelection = kNoEntry;
        for (ListIndex entry = 0; entry < from.ListCount(); ++entry) {
            const ListIndex at = into.AddItem(from.ItemText(entry));
            if (at == kNoEntry) continue;
            into.SetItemData(at, from.ItemData(entry));
            if (entry == from.SelectedIndex()) carriedSelection = at;
        }
        into.SetSelectedIndex(carriedSelection);
        into.OnSelectionChange(from.SelectionHandler());
        from.Clear();
    }
    to.SetText1(text_);
    if (allSelected_) to.SelectAllText1();
    text_.clear();
    allSelected_ = false;
}

}  // namespace kestrum
