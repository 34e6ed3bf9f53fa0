// What the main window's logic needs from the window itself: its three lists,
// the width field and its own visibility. The Windows build backs it with
// real controls; MemoryFormSurface backs it in memory.
#pragma once

#include <string>
#include <string_view>

#include "winsys/window_list.h"

namespace kestrum {

class FormSurface {
public:
    virtual ~FormSurface() = default;

    // index is 0, 1 or 2.
    virtual WindowList& List1(int index) = 0;

    // The width field's text, UTF-8.
    virtual std::string Text1() const = 0;
    virtual void SetText1(std::string_view text) = 0;
    // Selects the whole of the field's text.
    virtual void SelectAllText1() = 0;

    virtual void SetVisible(bool visible) = 0;
};

}  // namespace kestrum
