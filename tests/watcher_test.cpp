// The resident watch on the in-memory desktop, with time let pass by the
// test: which panes it sets, when, and what it costs while nothing happens.
#include "watch/watcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "support/desktop_fixture.h"
#include "support/memory_log_file.h"
#include "support/memory_notification_area.h"
#include "support/memory_user_width_store.h"
#include "watch/icon_words.h"
#include "watch/watch_icon.h"

namespace kestrum {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class WatcherTest : public ::testing::Test {
protected:
    void SetUp() override { Hear(watcher); }
    // The desktop's events go to `heard`, and it names the programs whose moves it hears.
    void Hear(Watcher& heard) {
        desktop.Start([&heard](WindowEvent event, WindowHandle window) { heard.OnWindowEvent(event, window); });
        heard.panesSetChanged = [this](const std::vector<WindowHandle>& panes) { desktop.ReportPlacesIn(panes); };
    }
    // The program's loop: the window manager's events, then the timers due.
    void Run(milliseconds duration) {
        for (milliseconds passed{0}; passed < duration; passed += milliseconds(10)) {
            desktop.DeliverEvents();
            timers.Advance(milliseconds(10));
        }
        desktop.DeliverEvents();
    }
    // A client with one pane 250 wide; hidden, when asked, as a client that
    // shows its window later.
    testing::Client Open(bool shown = true, std::vector<int> panes = {250}) {
        const testing::Client client = testing::AddClient(desktop, "Orders", panes);
        if (!shown) desktop.Hide(client.main);
        return client;
    }
    int Width(WindowHandle pane) const {
        const Rect rect = desktop.RectInParent(pane);
        return rect.right - rect.left;
    }

    std::size_t Logged(std::string_view what) const {
        std::size_t count = 0;
        for (std::size_t at = 0; (at = file.text.find(what, at)) != std::string::npos; at += what.size()) ++count;
        return count;
    }

    // The user gives the pane another width.
    void Drag(WindowHandle pane, int width) { desktop.MoveWindow(pane, 10, 20, width, 150); }

    MemoryDesktop desktop;
    testing::FakeTimers timers;
    testing::MemoryLogFile file;
    RunLog log{&file, 1 << 24, [] { return std::string("T"); }};
    testing::MemoryUserWidthStore store;
    Watcher watcher{desktop, timers, {300, milliseconds(500), Source::Given, &store}, &log};
};

TEST_F(WatcherTest, SetsTheClientsThereAndThoseThatComeOrComeBackLater) {
    const auto there = Open();
    watcher.Start();
    Run(milliseconds(400));
    EXPECT_EQ(Width(there.panes[0]), 250) << "not before the settling time";
    Run(milliseconds(200));
    EXPECT_EQ(Width(there.panes[0]), 300);

    const auto late = Open();
    Run(seconds(1));
    EXPECT_EQ(Width(late.panes[0]), 300);
    desktop.Destroy(late.main);
    const auto reopened = Open();
    Run(seconds(1));
    EXPECT_EQ(Width(reopened.panes[0]), 300);
}

TEST_F(WatcherTest, APaneLaidOutAgainWaitsUntilItKeepsItsPlaceForTheSettlingTime) {
    watcher.Start();
    const auto client = Open();
    Run(milliseconds(300));
    desktop.MoveWindow(client.panes[0], 12, 20, 240, 150);  // the client lays it out again
    Run(milliseconds(450));
    EXPECT_EQ(Width(client.panes[0]), 240);
    Run(milliseconds(100));
    EXPECT_EQ(Width(client.panes[0]), 300);
    EXPECT_EQ(desktop.RectInParent(client.panes[0]).left, 12) << "its place as the client left it";
}

TEST_F(WatcherTest, LatePanesAndReplacedPanesAreSetEachOnce) {
    watcher.Start();
    const auto client = Open(true, {});
    Run(seconds(1));
    const WindowHandle late = desktop.AddChild(client.main, {"C/SIDE NavPane", "", {10, 20, 260, 170}});
    Run(seconds(1));
    EXPECT_EQ(Width(late), 300);
    desktop.Destroy(late);
    const WindowHandle replaced = desktop.AddChild(client.main, {"C/SIDE NavPane", "", {10, 20, 200, 170}});
    Run(seconds(1));
    EXPECT_EQ(Width(replaced), 300);
    EXPECT_EQ(desktop.Moves().size(), 2u);
}

// A pane in a window shown later is set once shown; one not shown within a
// minute is dropped, and is set when it is shown, where showing is reported.
TEST_F(WatcherTest, AHiddenPaneWaitsUntilItIsShownForAMinuteAtMost) {
    watcher.Start();
    for (const bool showingReported : {true, false}) {
        SCOPED_TRACE(showingReported ? "showing reported" : "showing not reported (Wine)");
        desktop.reportsShowing = showingReported;
        const auto soon = Open(false);
        const auto late = Open(false);
        Run(seconds(3));
        desktop.Show(soon.main);
        Run(seconds(1));
        EXPECT_EQ(Width(soon.panes[0]), 300);
        Run(seconds(60));
        EXPECT_EQ(watcher.Waiting(), 0u) << "dropped after a minute";
        desktop.Show(late.main);
        Run(seconds(1));
        EXPECT_EQ(Width(late.panes[0]), showingReported ? 300 : 250);
    }
}

// Panes not shown are looked at less and less often, all together: after
// a few seconds, once a second at most, however many. One shown meanwhile
// is set soon all the same (at once where the showing is reported); the
// rest are given up after a minute, and told.
TEST_F(WatcherTest, HiddenPanesCostLittleAndAreGivenUpAfterAMinute) {
    watcher.Start();
    for (const bool showingReported : {true, false}) {
        SCOPED_TRACE(showingReported ? "showing reported" : "showing not reported (Wine)");
        desktop.reportsShowing = showingReported;
        file.text.clear();
        const auto crowd = Open(true, std::vector<int>(500, 250));
        const auto late = Open();
        for (const WindowHandle pane : crowd.panes) desktop.Hide(pane);
        desktop.Hide(late.panes[0]);
        Run(seconds(5));
        const int started = timers.started;
        desktop.ResetCalls();
        Run(seconds(25));
        EXPECT_LE(timers.started - started, 26) << "steps in 25 s";
        EXPECT_LE(desktop.Calls(Operation::IsVisible), 501u * 26);
        desktop.Show(late.panes[0]);
        Run(milliseconds(showingReported ? 600 : 2600));
        EXPECT_EQ(Width(late.panes[0]), 300);
        Run(seconds(33));
        EXPECT_EQ(watcher.Waiting(), 0u);
        EXPECT_EQ(Logged(": not shown within a minute, given up\n"), 500u);
        desktop.Destroy(crowd.main);
        desktop.Destroy(late.main);
    }
}

// A pane still moving when its minute is up is looked at on, once a
// second, until it rests (then it is set) or goes (then the log says so).
TEST_F(WatcherTest, APaneStillMovingAfterAMinuteIsSetOnceItRests) {
    watcher.Start();
    for (const bool rests : {true, false}) {
        SCOPED_TRACE(rests ? "rests" : "goes");
        const auto client = Open();
        for (int step = 0; step < 620; ++step) {
            desktop.MoveWindow(client.panes[0], 10, 20, 150 + step % 100, 150);
            Run(milliseconds(100));
        }
        if (!rests) desktop.Destroy(client.main);
        Run(seconds(3));
        EXPECT_EQ(rests ? Width(client.panes[0]) : 300, 300);
        EXPECT_EQ(Logged(": gone while it still moved, over a minute after it appeared\n"), rests ? 0u : 1u);
        EXPECT_EQ(watcher.Waiting(), 0u);
    }
}

// A client started minimized lays its pane out again when it is restored:
// the pane waits as a hidden one does, and is set after the restore.
TEST_F(WatcherTest, APaneOfAMinimizedClientIsSetOnceTheClientIsRestored) {
    watcher.Start();
    for (const bool restoreReported : {true, false}) {
        SCOPED_TRACE(restoreReported ? "restore reported" : "restore not reported (Wine)");
        desktop.reportsShowing = restoreReported;
        const auto client = Open();
        desktop.Minimize(client.main);
        Run(milliseconds(2500));
        EXPECT_EQ(Width(client.panes[0]), 250) << "set while minimized";
        desktop.Restore(client.main);
        desktop.MoveWindow(client.panes[0], 10, 20, 220, 150);  // laid out again
        Run(seconds(1));
        EXPECT_EQ(Width(client.panes[0]), 300);
        desktop.Destroy(client.main);
    }
}

// The watch ends once, whatever asks it to: a width still being confirmed
// is logged as not yet seen, then why it ended; nothing runs after.
TEST_F(WatcherTest, EndsOnceSayingWhyAndWhatWasUnderWay) {
    const std::pair<WatchEnd, std::string> rows[] = {
        {EndOfSession(kEndSessionCloseApp), "closed for an update"},
        {EndOfSession(kEndSessionLogoff), "session ended"},
        {EndOfSession(0), "session ended"},  // the end of the system
        {WatchEnd::Stopped, "stopped"},
    };
    for (const auto& [why, words] : rows) {
        file.text.clear();
        const auto client = Open();
        desktop.Hang(client.main);  // the width waits in its queue
        Watcher ending(desktop, timers, {300, milliseconds(500)}, &log);
        ending.Start();
        timers.Advance(milliseconds(600));
        EXPECT_TRUE(ending.End(why));
        EXPECT_FALSE(ending.End(WatchEnd::Stopped)) << "a second /stop";
        EXPECT_EQ(file.text, "T  client " + std::to_string(client.main) + " \"Orders\", pane " +
                                 std::to_string(client.panes[0]) + ": 250, width 300 asked but not yet seen\nT  " +
                                 words + "\n");
        EXPECT_EQ(timers.Pending(), 0u);
        desktop.Destroy(client.main);
    }
}

// A client closed right as it takes the width: its line still names it.
TEST_F(WatcherTest, AClientClosedAsItTakesTheWidthIsLoggedWithItsTitle) {
    watcher.Start();
    const auto client = Open();
    desktop.OnCall(Operation::ProbeAnswering, client.panes[0], [&] { desktop.Destroy(client.main); });
    Run(seconds(1));
    EXPECT_EQ(Logged("\"Orders\", pane " + std::to_string(client.panes[0]) + ": 250 -> 250, gone\n"), 1u) << file.text;
}

TEST_F(WatcherTest, LeavesAClientWithSeveralPanesAndAWidthGivenLaterAlone) {
    const auto several = Open(true, {250, 200});
    const auto one = Open();
    watcher.Start();
    Run(seconds(1));
    EXPECT_EQ(Width(several.panes[0]), 250);
    EXPECT_EQ(Width(several.panes[1]), 200);
    EXPECT_EQ(Width(one.panes[0]), 300);
    // The user, or the client, gives the pane another width: it stays.
    desktop.MoveWindow(one.panes[0], 10, 20, 180, 150);
    desktop.Hide(one.main);
    desktop.Show(one.main);  // the watch hears of the pane again
    Run(seconds(10));
    EXPECT_EQ(Width(one.panes[0]), 180);
    EXPECT_EQ(desktop.Moves().size(), 2u) << "one move of Kestrum's, one of the user's";
}

TEST_F(WatcherTest, AClientThatDoesNotAnswerDelaysNoOther) {
    const auto hung = Open();
    desktop.Hang(hung.main);
    watcher.Start();
    const auto live = Open();
    Run(seconds(1));
    EXPECT_EQ(Width(live.panes[0]), 300);
    EXPECT_EQ(Width(hung.panes[0]), 250);
    desktop.Wake(hung.main);
    Run(milliseconds(10));
    EXPECT_EQ(Width(hung.panes[0]), 300) << "the move waited in its queue";
    EXPECT_EQ(timers.Pending(), 0u);
}

TEST_F(WatcherTest, AWindowGoneBetweenItsEventAndItsCheckIsPassedOver) {
    watcher.Start();
    const auto before = Open();
    desktop.Destroy(before.main);  // before its events are handled
    const auto waiting = Open();
    Run(milliseconds(100));
    desktop.Destroy(waiting.main);  // while its pane settles
    Run(seconds(1));
    EXPECT_TRUE(desktop.Moves().empty());
    EXPECT_EQ(watcher.Waiting(), 0u);
    EXPECT_EQ(timers.Pending(), 0u);
}

// While nothing appears: no timer, and not one call. A window of another
// program costs two calls at most, and what the watch keeps stays as small
// after a thousand clients as after ten.
TEST_F(WatcherTest, CostsNothingIdleLittlePerForeignWindowAndKeepsLittle) {
    watcher.Start();
    Open();
    Run(seconds(2));
    desktop.ResetCalls();
    Run(seconds(60));
    EXPECT_EQ(desktop.TotalCalls(), 0u);
    EXPECT_EQ(timers.Pending(), 0u);

    constexpr int kForeign = 500;
    for (int i = 0; i < kForeign; ++i) {
        const WindowHandle top = desktop.AddTopLevel({"Notepad", "other", {0, 0, 50, 50}});
        const WindowHandle edit = desktop.AddChild(top, {"Edit", "", {0, 0, 10, 10}});
        desktop.Hide(top);
        desktop.Show(top);
        desktop.Focus(edit);
        desktop.EndCapture(edit);
    }
    Run(milliseconds(10));
    EXPECT_LE(desktop.TotalCalls(), 2u * 5 * kForeign) << "five events each";
    EXPECT_EQ(timers.Pending(), 0u);

    std::size_t afterTen = 0;
    for (int opening = 1; opening <= 1000; ++opening) {
        const auto client = Open();
        Run(milliseconds(600));
        desktop.Destroy(client.main);
        if (opening == 10) afterTen = watcher.Remembered();
    }
    EXPECT_LE(watcher.Remembered(), afterTen + 16);
}

// The user's width: a pane the watch set, given another width afterwards
// and seen so when the focus moves, the mouse is let go or the pane keeps
// still after a move, keeps that width for the panes that appear next;
// nothing else is taken for it.
TEST_F(WatcherTest, TakesTheUsersWidthAndNothingElse) {
    enum Step { kDrag, kDragToNothing, kFocus, kLetGo, kHide, kHang, kWake, kPause, kGoOn };
    struct Row {
        const char* name;
        std::vector<Step> beforeSet, afterSet;
        std::optional<std::uint32_t> kept;
        bool remembers = true;
    };
    const Row rows[] = {
        {"focus", {}, {kDrag, kFocus}, 360},
        {"the mouse let go", {}, {kDrag, kLetGo}, 360},
        {"a move, then still", {}, {kDrag}, 360},
        {"the watch's own set", {}, {kFocus}, {}},
        {"a change before settling", {kDrag, kFocus}, {}, {}},
        {"a client taking the watch's width late", {kHang}, {kWake, kFocus}, {}},
        {"a hidden pane", {}, {kDrag, kHide, kFocus}, {}},
        {"no width", {}, {kDragToNothing, kFocus}, {}},
        {"no memory: a policy's width, or none", {}, {kDrag, kFocus}, {}, false},
        {"paused", {}, {kPause, kDrag, kFocus, kGoOn, kFocus}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        file.text.clear();
        testing::MemoryUserWidthStore kept;
        Watcher w(desktop, timers, {300, milliseconds(500), Source::Given, row.remembers ? &kept : nullptr}, &log);
        Hear(w);
        const auto client = Open();
        const auto play = [&](const std::vector<Step>& steps) {
            for (const Step step : steps) {
                switch (step) {
                    case kDrag: Drag(client.panes[0], 360); break;
                    case kDragToNothing: Drag(client.panes[0], 0); break;
                    case kFocus: desktop.Focus(client.main); break;
                    case kLetGo: desktop.EndCapture(client.panes[0]); break;
                    case kHide: desktop.Hide(client.main); break;
                    case kHang: desktop.Hang(client.main); break;
                    case kWake: desktop.Wake(client.main); break;
                    case kPause:
                    case kGoOn: w.Pause(step == kPause); break;
                }
            }
            Run(seconds(2));
        };
        play(row.beforeSet);
        play(row.afterSet);
        EXPECT_EQ(kept.width, row.kept);
        EXPECT_EQ(Logged("user's width 360 kept (was 300)\n"), row.kept ? 1u : 0u) << file.text;
        EXPECT_EQ(timers.Pending(), 0u);
        const auto next = Open();
        Run(seconds(1));
        EXPECT_EQ(Width(next.panes[0]), static_cast<int>(row.kept.value_or(300)));
        desktop.Destroy(client.main);
        desktop.Destroy(next.main);
    }
}

// The icon: its tip and menu as the watch is; pausing leaves the panes that
// appear alone, applying now sets every client's only pane (not taken for
// the user's width), forgetting brings back the width without the user's;
// a pane that cannot be set is told once each time its client appears.
TEST_F(WatcherTest, TheIconShowsTheWatchAndItsChoicesReachIt) {
    store.width = 360;
    Watcher w(desktop, timers, {360, milliseconds(500), Source::UserWidth, &store, {250, Source::Given}}, &log);
    Hear(w);
    testing::MemoryNotificationArea area;
    int opened = 0, exited = 0;
    WatchIcon icon(area, w, [&] { ++opened; }, [&] { ++exited; });
    icon.Show();
    EXPECT_EQ(area.look.tip, "Kestrum: navigation pane 360 pixels (your own width)");
    EXPECT_EQ(area.MenuTexts(),
              (std::vector<std::string>{"&Apply now", "&Pause", "&Forget my width", "&Open Kestrum", "E&xit"}));

    ASSERT_TRUE(area.Choose(IconCommand::Pause));
    EXPECT_EQ(area.look.tip, "Kestrum: navigation pane 360 pixels (your own width), paused");
    EXPECT_EQ(area.MenuTexts()[1], "[x]&Pause");
    const auto client = Open();
    Run(seconds(2));
    Drag(client.panes[0], 200);
    desktop.Focus(client.main);
    Run(seconds(1));
    EXPECT_EQ(Width(client.panes[0]), 200) << "left alone while paused";
    area.Choose(IconCommand::Pause);
    area.Choose(IconCommand::ApplyNow);
    Run(seconds(1));
    EXPECT_EQ(Width(client.panes[0]), 360);
    EXPECT_EQ(Logged(": 200 -> 360, set\n"), 1u) << file.text;

    area.Choose(IconCommand::Forget);
    EXPECT_EQ(store.width, std::nullopt);
    EXPECT_EQ(Logged("user's width 360 forgotten: width 250 from the command line\n"), 1u);
    EXPECT_EQ(area.look.tip, "Kestrum: navigation pane 250 pixels (the command line)");
    EXPECT_FALSE(area.Choose(IconCommand::Forget)) << "not offered";
    EXPECT_EQ(Width(client.panes[0]), 360) << "for the panes that appear from then on";

    const auto several = Open(true, {250, 200});
    const auto hung = Open(true, {220});
    desktop.Hang(hung.main);
    const auto elevated = Open(true, {220});
    desktop.GiveHigherRights(elevated.main);
    Run(seconds(2));
    area.Choose(IconCommand::ApplyNow);
    Run(seconds(2));
    desktop.Destroy(several.main);
    Open(true, {250, 200});
    Run(seconds(2));
    EXPECT_EQ(area.notices, (std::vector<std::string>{std::string(TroubleNotice(PaneTrouble::SeveralPanes)),
                                                      std::string(TroubleNotice(PaneTrouble::NotAnswering)),
                                                      std::string(TroubleNotice(PaneTrouble::HigherRights)),
                                                      std::string(TroubleNotice(PaneTrouble::SeveralPanes))}));
    area.Choose(IconCommand::Open);
    area.Choose(IconCommand::Exit);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(exited, 1);
}

}  // namespace
}  // namespace kestrum
