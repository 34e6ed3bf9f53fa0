// The unit tests' one fixture: Form1 over an in-memory desktop, recorded
// message boxes and timers, with builders of client layouts and readers of the lists.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/window_discovery.h"
#include "discovery/window_list.h"
#include "ui/list_windows.h"
#include "support/fake_timers.h"
#include "support/memory_desktop.h"
#include "support/recording_message_boxes.h"
#include "ui/form1.h"

namespace kestrum::testing {

inline constexpr Point kFrame{4, 23};  // border and caption of a framed window

// A client main window at (100,100) with a framed client area, holding one
// "C/SIDE NavPane" per width given, each at (10, 20 + 200 i) inside it.
struct Client {
    WindowHandle main = 0;
    std::vector<WindowHandle> panes;
};

inline Client AddClient(MemoryDesktop& desktop, const std::string& title,
                        const std::vector<int>& paneWidths = {250}) {
    Client client;
    client.main = desktop.AddTopLevel(
        {std::string(kClientClass), title, {100, 100, 900, 700}, kFrame});
    for (std::size_t i = 0; i < paneWidths.size(); ++i) {
        const int top = 20 + 200 * static_cast<int>(i);
        client.panes.push_back(desktop.AddChild(
            client.main, {std::string(kPaneClass), "", {10, top, 10 + paneWidths[i], top + 150}, {}}));
    }
    return client;
}

inline WindowHandle AddForeign(MemoryDesktop& desktop, const std::string& className,
                               const std::string& title = "other") {
    return desktop.AddTopLevel({className, title, {0, 0, 50, 50}});
}

// What a list holds, entry by entry.
inline std::vector<std::string> ListTexts(const WindowList& list) {
    std::vector<std::string> texts;
    for (ListIndex i = 0; i < list.ListCount(); ++i) texts.push_back(list.ItemText(i));
    return texts;
}

inline std::vector<WindowHandle> ListHandles(const WindowList& list) {
    std::vector<WindowHandle> handles;
    for (ListIndex i = 0; i < list.ListCount(); ++i) handles.push_back(list.ItemData(i));
    return handles;
}

// "<handle> # <class> # <title>", as a list shows a window.
inline std::string Entry(WindowHandle h, std::string_view cls, const std::string& title) {
    return std::to_string(h) + " # " + std::string(cls) + " # " + title;
}

class FormOnDesktopTest : public ::testing::Test {
protected:
    WindowList& List(int list) { return form.List1(static_cast<ListIndex>(list)); }
    std::vector<std::string> Texts(int list) { return ListTexts(List(list)); }
    std::vector<WindowHandle> Handles(int list) { return ListHandles(List(list)); }
    // Lists the clients, as start-up does, without selecting one.
    void FindClients() { ListWindows(desktop, List(0), kModeMainWindows, 0); }

    // Start-up, with the time it takes let pass: how it ended, and when.
    StartOutcome Load(std::string_view arguments) {
        std::optional<StartOutcome> ended;
        form.StartUpEnded = [&](StartOutcome outcome) {
            ended = outcome;
            endedAt = clock.Now();
        };
        plan = PlanStart(arguments, nullptr, messages.answerable);
        // The runs that end before the window's start-up, as the program's entry takes them.
        if (plan.road == Road::Usage) return TellUsage(plan, messages);
        if (plan.road == Road::RefuseValue) return RefuseValue(plan, messages, log);
        form.Form_Load();
        while (!ended && clock.Pending() > 0) clock.Advance(std::chrono::milliseconds(100));
        form.StartUpEnded = nullptr;
        EXPECT_TRUE(ended) << "start-up never ended";
        return ended.value_or(StartOutcome::Shown);
    }
    // The button, with the time its confirmation takes let pass: how it
    // ended, as the user sees it (the box shown, or the pane moved or not).
    ResetOutcome Press() {
        const std::size_t shown = messages.Texts().size();
        const std::uint64_t moves = desktop.Calls(Operation::MoveWindow);
        form.Command2_Click();
        clock.Advance(std::chrono::seconds(2));
        EXPECT_FALSE(form.Waiting()) << "the reset never ended";
        if (messages.Texts().size() == shown) {
            return desktop.Calls(Operation::MoveWindow) > moves ? ResetOutcome::Moved : ResetOutcome::AlreadyThatWide;
        }
        const std::string& said = messages.Texts().back();
        if (said == "NavPane was not found") return ResetOutcome::PaneGone;
        if (said.starts_with("Kestrum may not change this client's windows")) return ResetOutcome::Refused;
        if (said.starts_with("The client is not responding")) return ResetOutcome::NotAnswering;
        EXPECT_EQ(said, "The client did not take the new width.");
        return ResetOutcome::NotTaken;
    }
    // A double-click on the client list, with its confirmation's time.
    void DoubleClick() {
        form.List1_DblClick(0);
        clock.Advance(std::chrono::seconds(2));
    }

    MemoryDesktop desktop;
    RecordingMessageBoxes messages;
    FakeTimers clock;
    StartPlan plan;
    RunLog log{nullptr};
    Form1 form{desktop, messages, clock, plan, log};
    std::chrono::milliseconds endedAt{-1};
};

}  // namespace kestrum::testing
