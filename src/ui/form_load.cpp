// The start-up sequence: read the options, find the clients, then end, apply
// and end, or show the window.
#include <string>

#include "discovery/window_discovery.h"
#include "startup/leading_number.h"
#include "ui/form1.h"

namespace kestrum {
namespace {

constexpr std::string_view kNoClientMessage = "no C/Side Application found";

std::string OutOfRangeMessage(const std::string& valueText) {
    return "The width \"/newsize=" + valueText +
           "\" is out of range: it must lie between -32768 and 32767.";
}

}  // namespace

StartOutcome Form1::Form_Load(std::string_view argumentText) {
    surface_.SetVisible(false);

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

    surface_.SetText1(WidthText(NewSize));

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

    surface_.SetVisible(true);
    return StartOutcome::Shown;
}

}  // namespace kestrum
