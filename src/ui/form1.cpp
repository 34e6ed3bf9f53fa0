// Form1's handlers: the start-up sequence, the lists, the button and the
// width field.
#include "ui/form1.h"

#include <utility>

#include "discovery/window_discovery.h"
#include "startup/leading_number.h"
#include "ui/list_windows.h"

namespace kestrum {
namespace {

// The widest width the field takes: narrower than a pane may be given.
constexpr std::int16_t kWidestInField = 499;

constexpr std::string_view kNoClientMessage = "no C/Side Application found";
constexpr std::string_view kNoPaneMessage = "NavPane was not found";
constexpr std::string_view kRefusedMessage =
    "Kestrum may not change this client's windows: the client runs with higher rights (for "
    "example as administrator). Start Kestrum the same way.";
constexpr std::string_view kOtherAccountMessage =
    "Kestrum may not change this client's windows: the client runs under another account. Start Kestrum as "
    "that user.";
constexpr std::string_view kNotAnsweringMessage =
    "The client is not responding: the width will be set when it answers.";
constexpr std::string_view kNotTakenMessage = "The client did not take the new width.";
constexpr std::string_view kToggleNotAnsweringMessage =
    "The window is not responding; its state was not changed.";
constexpr std::string_view kTogglePendingMessage =
    "The window stopped responding: its state will change when it answers, while Kestrum is open.";
constexpr std::string_view kToggleUnchangedMessage = "The window's state could not be changed.";

std::string_view MessageFor(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::PaneGone: return kNoPaneMessage;
        case ResetOutcome::Refused: return kRefusedMessage;
        case ResetOutcome::NotAnswering: return kNotAnsweringMessage;
        case ResetOutcome::NotTaken: return kNotTakenMessage;
        case ResetOutcome::OtherAccount: return kOtherAccountMessage;
        case ResetOutcome::Moved:
        case ResetOutcome::AlreadyThatWide: break;
    }
    return {};
}

std::string_view MessageFor(ToggleOutcome outcome) {
    switch (outcome) {
        case ToggleOutcome::NotAnswering: return kToggleNotAnsweringMessage;
        case ToggleOutcome::Pending: return kTogglePendingMessage;
        case ToggleOutcome::Unchanged: return kToggleUnchangedMessage;
        case ToggleOutcome::Toggled: break;
    }
    return {};
}

}  // namespace

Form1::Form1(WindowSystem& system, MessageBoxes& boxes, Timers& timers, const StartPlan& plan, RunLog& log,
             SessionWatches* watch)
    : system_(system),
      plan_(plan),
      log_(log),
      watch_(watch),
      boxes_(boxes),
      startUp_(
          plan, timers, log,
          [this](StartOutcome outcome) {
              if (StartUpEnded) StartUpEnded(outcome);
          }),
      reset_(system, timers),
      toggle_(system, timers) {
    for (ListIndex i = 0; i < static_cast<ListIndex>(lists_.size()); ++i) {
        List1(i).OnSelectionChange([this, i] {
            if (i == 0 && view_ != nullptr) view_->ShowClients();
            List1_Click(i);
        });
    }
}

void Form1::Form_Load() {
    Visible = false;
    NewSize = plan_.options.NewSize;
    AutoMode = plan_.options.AutoMode;
    SetText1(WidthText(NewSize));
    startUp_.Begin(NewSize);
    ListClients();
}

void Form1::ListClients() {
    List1(0).Clear();
    ListWindows(system_, List1(0), kModeMainWindows, 0);
    const auto panesOfFirst = [this] { return static_cast<int>(FindPanes(system_, List1(0).ItemData(0)).size()); };
    if (startUp_.ListsAgain(List1(0).ListCount(), panesOfFirst, [this] { ListClients(); })) return;
    if (List1(0).ListCount() == 0) {
        Report(kNoClientMessage);
        return startUp_.NoClient();
    }
    // Raises List1_Click(0), which fills List1(2) with the first client's panes.
    List1(0).SetSelectedIndex(0);
    // Unattended, the one pane of the one client is set; anything but success
    // is reported, and the exit status says so too.
    if (AutoMode && List1(0).ListCount() == 1 && List1(2).ListCount() == 1) return Command2_Click();
    if (startUp_.EndsUnseen(List1(0).ListCount(), List1(2).ListCount())) return;
    Visible = true;
    startUp_.End(StartOutcome::Shown);
}

void Form1::Form_Unload() {
    closing_ = true;
    reports_.clear();
    startUp_.Cancel();
    reset_.Cancel();
    toggle_.Cancel();
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
    if (index < 0 || index > 2 || toggle_.Running()) return;
    const ListIndex selected = List1(index).SelectedIndex();
    if (selected == kNoEntry) return;  // nothing chosen, nothing to toggle
    toggle_.Start(List1(index).ItemData(selected), [this](ToggleOutcome outcome) {
        if (const std::string_view message = MessageFor(outcome); !message.empty()) Report(message);
    });
}

void Form1::Command2_Click() {
    if (reset_.Running()) return;
    resetRetried_ = false;
    StartReset();
}

void Form1::StartReset() {
    // Always the first pane found: the pane list has no selection of its own.
    if (List1(2).ListCount() == 0) return ResetDone(ResetReport{ResetOutcome::PaneGone});
    const ListIndex client = List1(0).SelectedIndex();
    resetClient_ = client == kNoEntry ? 0 : List1(0).ItemData(client);
    reset_.Start(List1(2).ItemData(0), NewSize, [this](const ResetReport& report) { ResetDone(report); });
}

void Form1::ResetDone(const ResetReport& report) {
    if (report.outcome == ResetOutcome::PaneGone && !resetRetried_ && report.pane != 0) {
        // The client may have replaced its pane since the list was built.
        resetRetried_ = true;
        List1_Click(0);
        return StartReset();
    }
    if (const std::string_view message = MessageFor(report.outcome); !message.empty()) Report(message);
    if (log_.Enabled()) {
        const std::string title = report.pane != 0 ? system_.WindowText(resetClient_) : std::string();
        log_.Tell(PaneOutcome{resetClient_, title, report, NewSize, plan_.from.width});
    }
    if (startUp_.Running()) return startUp_.ResetEnded(report.outcome);
    // The user's own doing, unlike an unattended run's: the watch keeps it.
    if (ResetSucceeded(report.outcome) && watch_ != nullptr) watch_->Ask({WatchRequest::UserWidth, NewSize, report.pane});
}

void Form1::Text1_GotFocus() {
    if (view_ != nullptr) view_->SelectAllText1();
}

void Form1::Text1_Validate(bool& /*cancel*/) {
    // An overflow counts as out of range, like any value outside 1..499.
    const std::optional<std::int16_t> value = ReadLeadingNumber(Text1);
    if (value && IsPaneWidth(*value) && *value <= kWidestInField) NewSize = *value;
    SetText1(WidthText(NewSize));
}

void Form1::SetText1(std::string text) {
    Text1 = std::move(text);
    if (view_ != nullptr) view_->ShowText1();
}

void Form1::Report(std::string_view text) {
    if (plan_.quiet || closing_) return;
    // A box is modal: while it is up, timers still run, and what they have
    // to say waits for it to go.
    reports_.emplace_back(text);
    if (reporting_) return;
    reporting_ = true;
    while (!reports_.empty() && !closing_) {
        const std::string next = std::move(reports_.front());
        reports_.pop_front();
        boxes_.Show(next);
    }
    reporting_ = false;
}

}  // namespace kestrum
