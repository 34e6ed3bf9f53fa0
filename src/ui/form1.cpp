// Form1's handlers: the start-up sequence, the lists, the button and the
// width field.
#include "ui/form1.h"

#include <algorithm>
#include <utility>

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
constexpr std::string_view kTogglePendingMessage =
    "The window stopped responding: its state will change when it answers, while Kestrum is open.";
constexpr std::string_view kToggleUnchangedMessage = "The window's state could not be changed.";

// How often the clients are listed again while a wait for them lasts.
constexpr std::chrono::milliseconds kListedAgainEvery{250};

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

std::string_view MessageFor(ToggleOutcome outcome) {
    switch (outcome) {
        case ToggleOutcome::NotAnswering: return kToggleNotAnsweringMessage;
        case ToggleOutcome::Pending: return kTogglePendingMessage;
        case ToggleOutcome::Unchanged: return kToggleUnchangedMessage;
        case ToggleOutcome::Toggled: break;
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

Form1::Form1(WindowSystem& system, MessageBoxes& boxes, Timers& timers, LogFile* logFile,
             PolicyStore* policies)
    : system_(system), boxes_(boxes), timers_(timers), policies_(policies), lookAgain_(timers), log_(logFile),
      reset_(system, timers), toggle_(system, timers) {
    for (ListIndex i = 0; i < static_cast<ListIndex>(lists_.size()); ++i) {
        List1(i).OnSelectionChange([this, i] {
            if (i == 0 && view_ != nullptr) view_->ShowClients();
            List1_Click(i);
        });
    }
}

void Form1::Form_Load(std::string_view argumentText) {
    Visible = false;
    startingUp_ = true;

    NewSize = kDefaultWidth;
    AutoMode = false;
    parsed_ = ParseStartOptions(argumentText);
    // An administrator's policy wins over the command line.
    applied_ = policies_ != nullptr ? ApplyPolicies(parsed_.options, *policies_) : PoliciesApplied{};
    quiet_ = RunsQuietly(parsed_.options, boxes_.CanBeAnswered());
    // What an unattended run did goes to its log, when it has one (and why
    // a watch did not start).
    logging_ = (parsed_.options.AutoMode || parsed_.options.Watch) && log_.Enabled();
    for (const std::string& ignored : applied_.ignored) Log(ignored);
    switch (DecideStart(parsed_, nullptr, true, quiet_)) {
        case StartStep::ShowUsage:
            Report(Usage(parsed_.options.NewSize, applied_.width));
            return EndStartUp(StartOutcome::HelpShown);
        case StartStep::RefuseValue:
            Report(OutOfRangeMessage(parsed_.rejectedValue));
            Log(OutOfRangeMessage(parsed_.rejectedValue));
            return EndStartUp(StartOutcome::OutOfRange);
        default:
            break;
    }
    NewSize = parsed_.options.NewSize;
    AutoMode = parsed_.options.AutoMode;
    Log("unattended run: width " + WidthText(NewSize) + " from " + std::string(SourceWords(applied_.width)));

    SetText1(WidthText(NewSize));
    waitEnd_ = timers_.Now() + std::chrono::seconds(parsed_.options.Wait);
    FindClients();
}

void Form1::FindClients() {
    List1(0).Clear();
    ListWindows(system_, List1(0), kModeMainWindows, 0);
    // Whether to wait on: then an unattended run needs to know the panes too.
    const bool waitIsOver = timers_.Now() >= waitEnd_;
    Found found{List1(0).ListCount(), 0};
    if (!waitIsOver && AutoMode && found.clients == 1) {
        found.panesOfFirst = static_cast<int>(FindPanes(system_, List1(0).ItemData(0)).size());
    }
    switch (DecideStart(parsed_, &found, waitIsOver, quiet_)) {
        case StartStep::LookAgain:
            lookAgain_.Start(std::min(waitEnd_ - timers_.Now(), kListedAgainEvery), [this] { FindClients(); });
            return;
        case StartStep::NoClient:
            Report(kNoClientMessage);
            Log("no client found");
            return EndStartUp(StartOutcome::NoClientFound);
        default:
            break;
    }

    // Raises List1_Click(0), which fills List1(2) with the first client's panes.
    List1(0).SetSelectedIndex(0);

    const Found listed{List1(0).ListCount(), List1(2).ListCount()};
    switch (DecideStart(parsed_, &listed, true, quiet_)) {
        case StartStep::SetWidth:
            // Anything but success is reported; the exit status says so too,
            // for the script that ran us.
            return Command2_Click();
        case StartStep::NothingChanged:
        case StartStep::ShowWindow: {
            const bool shown = !quiet_;
            if (AutoMode) {
                const std::string_view why = listed.clients > 1 ? "several clients"
                                             : listed.panesOfFirst > 1 ? "several panes"
                                                                       : "no pane";
                Log(std::string(why) + (shown ? ", the window is shown" : ", nothing changed"));
            }
            if (!shown) return EndStartUp(StartOutcome::NothingChanged);
            Visible = true;
            return EndStartUp(StartOutcome::Shown);
        }
        default:
            return EndStartUp(StartOutcome::NothingChanged);
    }
}

void Form1::EndStartUp(StartOutcome outcome) {
    startingUp_ = false;
    if (StartUpEnded) StartUpEnded(outcome);
}

void Form1::Form_Unload() {
    closing_ = true;
    lookAgain_.Stop();
    reset_.Cancel();
    toggle_.Cancel();
    reports_.clear();
}

bool Form1::Waiting() const { return lookAgain_.Running() || reset_.Running() || toggle_.Running(); }

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
    lastReset_ = report.outcome;
    if (const std::string_view message = MessageFor(report.outcome); !message.empty()) Report(message);
    if (logging_ && report.pane != 0) {
        Log(ReportLine(report, resetClient_, system_.WindowText(resetClient_)));
    } else {
        Log("no pane found");
    }
    if (startingUp_) EndStartUp(AutoOutcome(report.outcome));
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
    if (quiet_ || closing_) return;
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

void Form1::Log(std::string_view message) {
    if (logging_) log_.Write(message);
}

}  // namespace kestrum
