// The main window's state and its event handlers.
//
// Form1 owns the program's state for the life of the process, as plain data:
// the three window lists, the width field's text, the target width NewSize,
// the flag AutoMode and whether the form is to be seen. The window that shows
// it (or a test) calls the handlers below when the events they are named
// after happen; each hands the work to discovery/ or actions/.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "actions/pane_width_reset.h"
#include "discovery/window_list.h"
#include "startup/start_options.h"
#include "startup/start_outcome.h"
#include "ui/form_view.h"
#include "winsys/clock.h"
#include "winsys/message_boxes.h"
#include "winsys/window_system.h"

namespace kestrum {

class Form1 {
public:
    Form1(WindowSystem& system, MessageBoxes& boxes, Clock& clock);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    std::int16_t NewSize = kDefaultWidth;
    bool AutoMode = false;
    // The width field's text, UTF-8: as the user types it, or as last written.
    std::string Text1;
    // The form is to be seen; its window is made when it first is.
    bool Visible = false;

    // List1(0): client main windows; List1(1): unused; List1(2): the panes of
    // the main window selected in List1(0). Setting the selected index of a
    // list raises List1_Click for it. index is 0, 1 or 2.
    WindowList& List1(ListIndex index) { return lists_.at(static_cast<std::size_t>(index)); }

    // The window showing the form, from its making to its end; none before.
    void SetView(FormView* view) { view_ = view; }

    // The start-up sequence; the caller ends the program unless it returns
    // StartOutcome::Shown. With /AUTO /quiet, or where no one can see a box,
    // it shows nothing at all.
    StartOutcome Form_Load(std::string_view argumentText);
    // Selection change in List1(index): rebuilds the pane list.
    void List1_Click(ListIndex index);
    // Double-click on List1(index): toggles the selected window's enabled state.
    void List1_DblClick(ListIndex index);
    // The button: sets the first pane's width to NewSize, keeping its logical
    // place and its height, and says how that went (anything but success is
    // reported with a message box too). A pane gone since the list was built
    // is looked for again, as a selection change does.
    ResetOutcome Command2_Click();
    // The width field gains focus: selects all its text.
    void Text1_GotFocus();
    // Focus leaves the width field for another control of the window.
    // `cancel` would keep the focus in the field; validation never sets it.
    void Text1_Validate(bool& cancel);

private:
    void SetText1(std::string text);
    // Fills List1(0) with the clients; with a wait, again every quarter of a
    // second until they are there or the time is up.
    void FindClients(std::int16_t waitSeconds);
    bool ClientsReady();
    // A message box, unless the run is to stay quiet.
    void Report(std::string_view text);

    WindowSystem& system_;
    MessageBoxes& boxes_;
    Clock& clock_;
    std::array<WindowList, 3> lists_;
    FormView* view_ = nullptr;
    bool quiet_ = false;
};

}  // namespace kestrum
