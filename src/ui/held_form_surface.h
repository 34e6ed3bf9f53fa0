// FormSurface held in memory: the form's lists and field while its window
// does not exist (see DeferredFormSurface).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ui/form_surface.h"
#include "ui/held_window_list.h"

namespace kestrum {

class HeldFormSurface final : public FormSurface {
public:
    WindowList& List1(int index) override { return List(index); }
    HeldWindowList& List(int index) { return lists_.at(static_cast<std::size_t>(index)); }
    const HeldWindowList& List(int index) const {
        return lists_.at(static_cast<std::size_t>(index));
    }

    std::string Text1() const override { return text_; }
    // A new text drops the selection, as in an edit control.
    void SetText1(std::string_view text) override;
    void SelectAllText1() override { allSelected_ = true; }
    // Nothing to show: visibility is the window's.
    void SetVisible(bool /*visible*/) override {}

    // Carries the lists' entries, values and selections and the field's text
    // and selection into `to`, and the lists' selection handlers with them.
    // The handlers are given to `to` last, so that carrying a selection raises
    // no change (its handler ran when the selection was made). An entry `to`
    // refuses is left out, and a selection on it is not carried. Then empties
    // the lists and the field here, keeping the handlers.
    void MoveInto(FormSurface& to);

private:
    std::array<HeldWindowList, 3> lists_;
    std::string text_;
    bool allSelected_ = false;
};

}  // namespace kestrum
