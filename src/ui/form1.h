// The main window's state and its event handlers.
//
// Form1 owns the program's state for the life of the process, as plain data:
// the three window lists, the width field's text, the target width NewSize,
// the flag AutoMode and whether the form is to be seen. The window that shows
// it (or a test) calls the handlers below when the events they are named
// after happen; each hands the work to discovery/ or actions/. What must wait
// (the clients to start, a pane to show its width, a window to change its
// state) waits on timers: no handler waits.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "actions/enable_toggle.h"
#include "actions/pane_width_reset.h"
#include "discovery/window_list.h"
#include "ui/form_view.h"
#include "ui/start_up.h"
#include "winsys/message_boxes.h"
#include "winsys/session_watches.h"

namespace kestrum {

class Form1 {
public:
    // `plan`: what the run is to do, decided at its start. `log`: where an
    // unattended run tells what it did. `watch`: this session's watch, told
    // of each width the user sets with the button (may be null).
    Form1(WindowSystem& system, MessageBoxes& boxes, Timers& timers, const StartPlan& plan, RunLog& log,
          SessionWatches* watch = nullptr);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    std::int16_t NewSize = kDefaultWidth;
    bool AutoMode = false;
    // The width field's text, UTF-8: as the user types it, or as last written.
    std::string Text1;
    // The form is to be seen; its window is made when it first is.
    bool Visible = false;
    // How start-up ended: called once, from Form_Load or from a timer after
    // it. The caller ends the program unless it is StartOutcome::Shown.
    std::function<void(StartOutcome)> StartUpEnded;

    // List1(0): client main windows; List1(1): unused; List1(2): the panes of
    // the main window selected in List1(0). Setting the selected index of a
    // list raises List1_Click for it. index is 0, 1 or 2.
    WindowList& List1(ListIndex index) { return lists_.at(static_cast<std::size_t>(index)); }

    // The window showing the form, from its making to its end; none before.
    void SetView(FormView* view) { view_ = view; }

    // The start-up sequence, on the plan. With /AUTO /quiet, or where no one
    // can see a box, it shows nothing at all.
    void Form_Load();
    // The window is closing: what waits is dropped, and nothing more is said.
    void Form_Unload();
    // Selection change in List1(index): rebuilds the pane list.
    void List1_Click(ListIndex index);
    // Double-click on List1(index): toggles the selected window's enabled
    // state, and says so when that could not be done.
    void List1_DblClick(ListIndex index);
    // The button: sets the first pane's width to NewSize, keeping its logical
    // place and its height, and says so when that did not work. A pane gone
    // since the list was built is looked for again, as a selection change
    // does. A press while a width is being set does nothing.
    void Command2_Click();
    // The width field gains focus: selects all its text.
    void Text1_GotFocus();
    // Focus leaves the width field for another control of the window.
    // `cancel` would keep the focus in the field; validation never sets it.
    void Text1_Validate(bool& cancel);

    // Something waits on a timer: the clients, a width, a window's state.
    bool Waiting() const { return startUp_.Waiting() || reset_.Running() || toggle_.Running(); }

private:
    void SetText1(std::string text);
    // Start-up's steps from listing the clients on; with a wait, again at
    // each look until the clients are there or the time is up.
    void ListClients();
    void StartReset();
    void ResetDone(const ResetReport& report);
    // A message box, unless the run is to stay quiet; one at a time, in order.
    void Report(std::string_view text);

    WindowSystem& system_;
    const StartPlan& plan_;
    RunLog& log_;
    SessionWatches* watch_;
    std::array<WindowList, 3> lists_;
    FormView* view_ = nullptr;
    MessageBoxes& boxes_;
    std::deque<std::string> reports_;
    bool reporting_ = false;
    bool closing_ = false;
    StartUp startUp_;

    PaneWidthReset reset_;
    bool resetRetried_ = false;
    WindowHandle resetClient_ = 0;
    EnableToggle toggle_;
};

}  // namespace kestrum
