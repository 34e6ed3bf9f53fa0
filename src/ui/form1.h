// The main window's state and its event handlers.
//
// Form1 owns the program's state for the life of the process: the three
// window lists (held by its surface), the target width NewSize and the flag
// AutoMode. The window layer (or a test) calls the handlers below when the
// events they are named after happen; each hands the work to discovery/ or
// actions/.
#pragma once

#include <cstdint>
#include <string_view>

#include "actions/pane_width_reset.h"
#include "startup/start_options.h"
#include "startup/start_outcome.h"
#include "ui/form_surface.h"
#include "winsys/message_boxes.h"
#include "winsys/window_system.h"

namespace kestrum {

class Form1 {
public:
    Form1(WindowSystem& system, MessageBoxes& boxes, FormSurface& surface);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    std::int16_t NewSize = kDefaultWidth;
    bool AutoMode = false;

    // List1(0): client main windows; List1(1): unused; List1(2): the panes of
    // the main window selected in List1(0).
    WindowList& List1(ListIndex index) { return surface_.List1(index); }

    // The start-up sequence; the caller ends the program unless it returns
    // StartOutcome::Shown.
    StartOutcome Form_Load(std::string_view argumentText);
    // Selection change in List1(index): rebuilds the pane list.
    void List1_Click(ListIndex index);
    // Double-click on List1(index): toggles the selected window's enabled state.
    void List1_DblClick(ListIndex index);
    // The button: sets the first pane's width to NewSize, keeping its logical
    // place and its height, and says how that went (failures are reported
    // with a message box too).
    ResetOutcome Command2_Click();
    // The width field gains focus: selects all its text.
    void Text1_GotFocus();
    // Focus leaves the width field for another control of the window.
    void Text1_Validate(bool& cancel);

private:
    WindowSystem& system_;
    MessageBoxes& boxes_;
    FormSurface& surface_;
};

}  // namespace kestrum
