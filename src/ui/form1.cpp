// Form1's handlers: the start-up sequence, the lists, the button and the
// width field.
#include "ui/form1.h"

#include <optional>
#include <utility>

#include "actions/enable_toggle.h"
#include "discovery/window_discovery.h"
#include "startup/leading_number.h"

namespace kestrum {
namespace {

constexpr std::string_view kNoClientMessage = "no C/Side Application found";
constexpr std::string_view kNoPaneMessage = "NavPane was not found";

std::string OutOfRangeMessage(const std::string& valueText) {
    return "The width \"/newsize=" + valueText +
           "\" is out of range: it must lie between -32768 and 32767.";
}

}  // namespace

Form1::Form1(WindowSystem& system, MessageBoxes& boxes) : system_(system), boxes_(boxes) {
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
    if (parsed.widthOverflow) {
        // Stop before any window is searched: the width asked for cannot be
        // carried, and silently using another one would surprise a script.
        boxes_.Show(OutOfRangeMessage(parsed.widthValueText));
        return StartOutcome::WidthOutOfRange;
    }
    NewSize = parsed.options.NewSize;
    AutoMode = parsed.options.AutoMode;

    SetText1(WidthText(NewSize));

    List1(0).Clear();
    ListWindows(system_, List1(0), kModeMainWindows, 0);
    if (List1(0).ListCount() == 0) {
        boxes_.Show(kNoClientMessage);
        return StartOutcome::NoClientFound;
    }

    // Raises List1_Click(0), which fills List1(2) with the first client's panes.
    List1(0).SetSelectedIndex(0);

    if (List1(2).ListCount() == 1 && List1(0).ListCount() == 1 && AutoMode) {
        // A pane gone by now has been reported; the exit status says so too,
        // for the script that ran us.
        return ResetSucceeded(Command2_Click()) ? StartOutcome::AutoApplied
                                                : StartOutcome::AutoFailed;
    }

    Visible = true;
    return StartOutcome::Shown;
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
    ToggleEnabled(system_, List1(index).ItemData(selected));
}

ResetOutcome Form1::Command2_Click() {
    // Always the first pane found: the pane list has no selection of its own.
    ResetOutcome outcome = ResetOutcome::NoPaneListed;
    if (List1(2).ListCount() > 0) outcome = ResetPaneWidth(system_, List1(2).ItemData(0), NewSize);
    if (!ResetSucceeded(outcome)) boxes_.Show(kNoPaneMessage);
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

}  // namespace kestrum
