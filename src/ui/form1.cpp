// Form1's handlers: the start-up sequence, the lists, the button and the
// width field.
#include "ui/form1.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "actions/enable_toggle.h"
#include "discovery/window_discovery.h"
#include "startup/leading_number.h"
#include "startup/usage.h"

namespace kestrum {
namespace {

constexpr std::string_view kNoClientMessage = "no C/Side Application found";
constexpr std::string_view kNoPaneMessage = "NavPane was not found";
constexpr std::string_view kRefusedMessage =
    "Kestrum may not change this client's windows: the client runs with higher rights (for "
    "example as administrator). Start Kestrum the same way.";
constexpr std::string_view kNotAnsweringMessage =
    "The client is not responding: the width will be set when it answers.";
constexpr std::string_view kNotTakenMessage = "The client did not take the new width.";
constexpr std::string_view kToggleNotAnsweringMessage =
    "The window is not responding; its state was not changed.";
constexpr std::string_view kToggleUnchangedMessage = "The window's state could not be changed.";

// How often the clients are listed again while a wait for them lasts.
constexpr std::chrono::milliseconds kListedAgainEvery{250};

std::string OutOfRangeMessage(const RejectedValue& rejected) {
    const std::string range = rejected.key == "/wait=" ? "between 0 and 3600 seconds"
                                                       : "between -32768 and 32767";
    return std::string(rejected.key == "/wait=" ? "The wait" : "The width") + " \"" +
           rejected.key + EchoedValue(rejected.valueText) + "\" is out of range: it must lie " +
           range + ".";
}

std::string_view MessageFor(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::PaneGone: return kNoPaneMessage;
        case ResetOutcome::Refused: return kRefusedMessage;
        case ResetOutcome::NotAnswering: return kNotAnsweringMessage;
        case ResetOutcome::NotTaken: return kNotTakenMessage;
        case ResetOutcome::Moved:
        case ResetOutcome::AlreadyThatWide: break;
    }
    return {};
}

// How an unattended run ends after the reset, for the script that ran it.
StartOutcome AutoOutcome(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::Moved:
        case ResetOutcome::AlreadyThatWide: return StartOutcome::AutoApplied;
        case ResetOutcome::PaneGone: return StartOutcome::PaneGone;
        case ResetOutcome::Refused: return StartOutcome::MoveRefused;
        case ResetOutcome::NotAnswering:
        case ResetOutcome::NotTaken: break;
    }
    return StartOutcome::WidthNotSeen;
}

}  // namespace

Form1::Form1(WindowSystem& system, MessageBoxes& boxes, Clock& clock)
    : system_(system), boxes_(boxes), clock_(clock) {
    for (ListIndex i = 0; i < static_cast<ListIndex>(lists_.size()); ++i) {
        List1(i).OnSelectionChange([this, i] {
            if (i == 0 && view_ != nullptr) view_->ShowClients();
            List1_Click(i);
        });
    }
}

StartOutcome Form1::Form_Load(std::string_view argumentText) {
    Visible = false;

    NewSize = kDefaultWidth;
    AutoMode = false;
    const ParsedStartOptions parsed = ParseStartOptions(argumentText);
    // Where no one can see a box, none is shown; otherwise /quiet keeps an
    // unattended run silent (it does nothing without /AUTO).
    quiet_ = !boxes_.CanBeAnswered() || (parsed.options.AutoMode && parsed.options.Quiet);
    if (parsed.options.Help) {
        Report(kUsage);
        return StartOutcome::HelpShown;
    }
    if (parsed.rejected) {
        // Stop before any window is searched: a value asked for cannot be
        // carried, and silently using another one would surprise a script.
        Report(OutOfRangeMessage(parsed.rejectedValue));
        return StartOutcome::OutOfRange;
    }
    NewSize = parsed.options.NewSize;
    AutoMode = parsed.options.AutoMode;

    SetText1(WidthText(NewSize));

    FindClients(parsed.options.Wait);
    if (List1(0).ListCount() == 0) {
        Report(kNoClientMessage);
        return StartOutcome::NoClientFound;
    }

    // Raises List1_Click(0), which fills List1(2) with the first client's panes.
    List1(0).SetSelectedIndex(0);

    if (List1(2).ListCount() == 1 && List1(0).ListCount() == 1 && AutoMode) {
        // Anything but success has been reported; the exit status says so
        // too, for the script that ran us.
        return AutoOutcome(Command2_Click());
    }

    // The window would be shown: a quiet run, or one no one can see, ends
    // here having changed nothing.
    if (quiet_) return StartOutcome::NothingChanged;
    Visible = true;
    return StartOutcome::Shown;
}

void Form1::FindClients(std::int16_t waitSeconds) {
    List1(0).Clear();
    ListWindows(system_, List1(0), kModeMainWindows, 0);
    if (waitSeconds <= 0) return;
    const std::chrono::milliseconds end = clock_.Now() + std::chrono::seconds(waitSeconds);
    while (!ClientsReady()) {
        const std::chrono::milliseconds left = end - clock_.Now();
        if (left <= std::chrono::milliseconds::zero()) return;
        clock_.Pause(std::min(left, kListedAgainEvery));
        List1(0).Clear();
        ListWindows(system_, List1(0), kModeMainWindows, 0);
    }
}

bool Form1::ClientsReady() {
    // Unattended, the run can go on once it can apply the width: one client
    // with one pane in it. Otherwise any client will do.
    if (!AutoMode) return List1(0).ListCount() > 0;
    if (List1(0).ListCount() != 1) return false;
    WindowList panes;
    ListWindows(system_, panes, kModePanes, List1(0).ItemData(0));
    return panes.ListCount() == 1;
}

void Form1::List1_Click(ListIndex index) {
    if (index != 0) return;  // only the visible list drives discovery
    // The pane lists are emptied first, so that no pane of the client
    // selected before remains; with no client selected they stay empty.
    List1(1).Clear();
    List1(2).Clear();
    const ListIndex selected = List1(0).SelectedIndex();
    if (selected == kNoEntry) return;
    ListWindows(system_, List1(2), kModePanes, List1(0).ItemData(selected));
}

void Form1::List1_DblClick(ListIndex index) {
    if (index < 0 || index > 2) return;
    const ListIndex selected = List1(index).SelectedIndex();
    if (selected == kNoEntry) return;  // nothing chosen, nothing to toggle
    switch (ToggleEnabled(system_, List1(index).ItemData(selected))) {
        case ToggleOutcome::NotAnswering: Report(kToggleNotAnsweringMessage); break;
        case ToggleOutcome::Unchanged: Report(kToggleUnchangedMessage); break;
        case ToggleOutcome::Toggled: break;
    }
}

ResetOutcome Form1::Command2_Click() {
    // Always the first pane found: the pane list has no selection of its own.
    ResetOutcome outcome = ResetOutcome::PaneGone;
    if (List1(2).ListCount() > 0) {
        outcome = ResetPaneWidth(system_, clock_, List1(2).ItemData(0), NewSize);
        if (outcome == ResetOutcome::PaneGone) {
            // The client may have replaced its pane since the list was built.
            List1_Click(0);
            if (List1(2).ListCount() > 0) {
                outcome = ResetPaneWidth(system_, clock_, List1(2).ItemData(0), NewSize);
            }
        }
    }
    if (const std::string_view message = MessageFor(outcome); !message.empty()) Report(message);
    return outcome;
}

void Form1::Text1_GotFocus() {
    if (view_ != nullptr) view_->SelectAllText1();
}

void Form1::Text1_Validate(bool& /*cancel*/) {
    // An overflow counts as out of range, like any value outside 1..499.
    const std::optional<std::int16_t> value = ReadLeadingNumber(Text1);
    if (value && *value > 0 && *value < 500) NewSize = *value;
    SetText1(WidthText(NewSize));
}

void Form1::SetText1(std::string text) {
    Text1 = std::move(text);
    if (view_ != nullptr) view_->ShowText1();
}

void Form1::Report(std::string_view text) {
    if (!quiet_) boxes_.Show(text);
}

}  // namespace kestrum
