// The resident watch on the in-memory desktop, with time let pass by the
// test: which panes it sets, when, and what it costs while nothing happens.
#include "watch/watcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "support/desktop_fixture.h"
#include "support/memory_event_log.h"
#include "support/memory_log_file.h"
#include "support/memory_notification_area.h"
#include "support/memory_session_watches.h"
#include "support/memory_user_width_store.h"
#include "support/memory_watch_host.h"
#include "watch/watch_session.h"

namespace kestrum {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

WatchSettings Settings(int width, UserWidthStore* store = nullptr) {
    return {{static_cast<std::int16_t>(width), Source::Given}, {300, Source::Given}, milliseconds(500), store};
}

class WatcherTest : public ::testing::Test {
protected:
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
    testing::MemoryWatchHost host;
    testing::MemorySessionWatches session;
    Watcher watcher{desktop, timers, desktop, Settings(300, &store), log};
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

TEST_F(WatcherTest, LatePanesAndReplacedPanesAreSetEachOnce) {
    watcher.Start();
    const auto client = Open(true, {});
    Run(seconds(1));
    const WindowHandle late = desktop.AddChild(client.main, {"C/SIDE NavPane", "", {10, 20, 260, 170}});
    Run(seconds(1));
    EXPECT_EQ(Width(late), 300);
    desktop.Destroy(late);
    // Made anew with the handle the one set had: a new pane all the same.
    const WindowHandle replaced =
        desktop.AddChild(client.main, {"C/SIDE NavPane", "", {10, 20, 200, 170}, {}, true, late});
    Run(seconds(1));
    EXPECT_EQ(Width(replaced), 300);
    EXPECT_EQ(desktop.Moves().size(), 2u);
}

// The waits wired to the desktop: panes not shown are looked at all
// together, one step at a time, and one shown meanwhile is set soon (at once
// where the showing is reported); those not shown within a minute are given
// up and told, and set when shown later where the showing is reported; one
// gone still moving after its minute is told as such.
TEST_F(WatcherTest, WaitsForPanesAtLittleCostAndTellsThoseGivenUp) {
    watcher.Start();
    for (const bool showingReported : {true, false}) {
        SCOPED_TRACE(showingReported ? "showing reported" : "showing not reported (Wine)");
        desktop.reportsShowing = showingReported;
        file.text.clear();
        const auto crowd = Open(true, std::vector<int>(500, 250));
        const auto late = Open();
        const auto never = Open(false);
        for (const WindowHandle pane : crowd.panes) desktop.Hide(pane);
        desktop.Hide(late.panes[0]);
        Run(seconds(5));
        const int started = timers.started;
        desktop.ResetCalls();
        Run(seconds(25));
        EXPECT_LE(timers.started - started, 26) << "steps in 25 s";
        EXPECT_LE(desktop.Calls(Operation::IsVisible), 502u * 26);
        desktop.Show(late.panes[0]);
        Run(milliseconds(showingReported ? 600 : 2600));
        EXPECT_EQ(Width(late.panes[0]), 300);
        Run(seconds(33));
        EXPECT_EQ(watcher.Waiting(), 0u);
        EXPECT_EQ(Logged(": not shown within a minute, given up\n"), 501u);
        desktop.Show(never.main);
        Run(seconds(1));
        EXPECT_EQ(Width(never.panes[0]), showingReported ? 300 : 250);
        for (const WindowHandle main : {crowd.main, late.main, never.main}) desktop.Destroy(main);
    }
    const auto moving = Open();
    for (int step = 0; step < 620; ++step) {
        Drag(moving.panes[0], 150 + step % 100);
        Run(milliseconds(100));
    }
    desktop.Destroy(moving.main);
    Run(seconds(3));
    EXPECT_EQ(Logged(": gone while it still moved, over a minute after it appeared\n"), 1u);
    EXPECT_EQ(watcher.Waiting(), 0u);
}

// A client started minimized lays its pane out again when it is restored:
// the pane waits as a hidden one does, and is set after the restore; so
// does a pane applied now while its client is minimized.
TEST_F(WatcherTest, APaneOfAMinimizedClientIsSetOnceTheClientIsRestored) {
    watcher.Start();
    for (const bool restoreReported : {true, false}) {
        SCOPED_TRACE(restoreReported ? "restore reported" : "restore not reported (Wine)");
        desktop.reportsShowing = restoreReported;
        const auto client = Open();
        for (const bool appliedNow : {false, true}) {
            Drag(client.panes[0], 240);
            desktop.Minimize(client.main);
            if (appliedNow) watcher.ApplyNow();
            Run(milliseconds(2500));
            EXPECT_EQ(Width(client.panes[0]), 240) << "set while minimized";
            desktop.Restore(client.main);
            Drag(client.panes[0], 220);  // laid out again
            Run(seconds(1));
            EXPECT_EQ(Width(client.panes[0]), 300);
        }
        desktop.Destroy(client.main);
    }
}

// The watch ends once, whatever asks it to: a width still being confirmed
// is logged as not yet seen, then why it ended; nothing runs after.
TEST_F(WatcherTest, EndsOnceSayingWhyAndWhatWasUnderWay) {
    const std::pair<WatchEnd, std::string> rows[] = {
        {WatchEnd::ClosedByWindows, "closed by Windows (an update, or to free resources)"},
        {WatchEnd::SessionEnded, "session ended"},
        {WatchEnd::Stopped, "stopped"},
    };
    for (const auto& [why, words] : rows) {
        file.text.clear();
        const auto client = Open();
        desktop.Hang(client.main);  // the width waits in its queue
        Watcher ending(desktop, timers, desktop, Settings(300), log);
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
    Run(milliseconds(600));  // the width asked of the hung client, still to be seen
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
        desktop.StartCapture(edit);
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
    // Two records a client at most: its pane handled, what was told of it.
    EXPECT_LE(watcher.Remembered(), afterTen + 2 * 16);
}

// A client's trouble is told once while it is open, however many others
// come and go, and of a client that keeps coming back with it (the same
// title) once an hour, in the log and the event log alike; the icon's
// notice, once each time a client appears, once it could be shown.
TEST_F(WatcherTest, TroubleIsToldOnceWhileOpenAndOnceAnHourOfAClientComingBack) {
    struct : WatchListener {
        void Changed() override {}
        bool Troubled(PaneTrouble) override { return shown += canShow, canShow; }
        bool canShow = false;
        int shown = 0;
    } icon;
    testing::MemoryEventLog events;
    log.SendEventsTo(&events, EventLevel::Problems);
    Watcher w(desktop, timers, desktop, Settings(300), log, &icon);
    w.Start();
    const auto stays = testing::AddClient(desktop, "Stays", {250, 200});
    Run(seconds(1));
    EXPECT_EQ(icon.shown, 0) << "no icon yet";
    icon.canShow = true;
    for (int opening = 0; opening < 1100; ++opening) {
        const auto comes = testing::AddClient(desktop, "Comes back", {250, 200});
        if (opening == 1099) desktop.AddChild(stays.main, {"C/SIDE NavPane", "", {10, 420, 260, 570}});
        Run(milliseconds(600));
        desktop.Destroy(comes.main);
    }
    EXPECT_EQ(Logged(": several panes, left alone\n"), 2u) << "the one that stays, and the first coming back";
    EXPECT_EQ(events.events.size(), 2u);
    EXPECT_EQ(icon.shown, 1 + 1100) << "the one that stays once shown, each coming back once";
    timers.Advance(std::chrono::hours(1));
    const auto later = testing::AddClient(desktop, "Comes back", {250, 200});
    Run(seconds(1));
    EXPECT_EQ(Logged(": several panes, left alone\n"), 3u) << "an hour later";
    EXPECT_EQ(events.events.size(), 3u);
    for (const WindowHandle main : {stays.main, later.main}) desktop.Destroy(main);
}

// The user's width: only a width the user gave a pane the watch set with the
// mouse (between a capture's start and end, taken in the client's own
// thread, the client's window keeping its place and size) is kept, and given
// to the panes that appear next; nothing else is taken for it.
TEST_F(WatcherTest, KeepsOnlyTheWidthTheUsersHandGives) {
    enum Step {
        kGrab, kGrabFrame, kGrabInAnotherThread, kLetGo, kDrag, kDragToNothing, kNudge, kRelayout, kClamp,
        kFrameBack, kMoveFrame, kHide, kShow, kMinimize, kMinimizeAndRestore, kHang, kWake, kPause, kGoOn, kForget,
        kDragAnother,  // a drag of another client's splitter, to 360
    };
    struct Row {
        const char* name;
        std::vector<Step> beforeSet, afterSet;
        std::optional<std::uint32_t> kept;
        bool remembers = true;
        bool forgotten = false;
    };
    const Row rows[] = {
        {"a drag of the splitter", {}, {kGrab, kDrag, kLetGo}, 360},
        {"the client's own layout", {}, {kRelayout}, {}},
        {"a frame drag that clamps the pane, and back", {}, {kGrabFrame, kClamp, kFrameBack, kLetGo}, {}},
        {"a drag let go hidden, or minimized", {},
         {kGrab, kDrag, kHide, kLetGo, kShow, kGrab, kNudge, kMinimize, kLetGo}, {}},
        {"a pixel more, no capture", {}, {kNudge}, {}},
        {"a restore laid out again", {}, {kMinimizeAndRestore}, {}},
        {"a width given while hidden, then shown", {}, {kHide, kDrag, kShow, kGrab, kLetGo}, {}},
        {"another program's move", {}, {kDrag}, {}},
        {"a capture in another thread", {}, {kGrabInAnotherThread, kDrag, kLetGo}, {}},
        {"a drag with the client's window moved", {}, {kGrab, kDrag, kMoveFrame, kLetGo}, {}},
        {"a late client taking the queued width after the user's drag", {kHang}, {kDragAnother, kWake}, 360},
        {"... and after the user's width was forgotten", {kHang}, {kDragAnother, kForget, kWake}, {}, true, true},
        {"a drag before the watch set the pane", {kGrab, kDrag, kLetGo}, {}, {}},
        {"no width", {}, {kGrab, kDragToNothing, kLetGo}, {}},
        {"no memory: a policy's width, or none", {}, {kGrab, kDrag, kLetGo}, {}, false},
        {"paused", {}, {kPause, kGrab, kDrag, kLetGo, kGoOn}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        file.text.clear();
        testing::MemoryUserWidthStore kept;
        Watcher w(desktop, timers, desktop, Settings(300, row.remembers ? &kept : nullptr), log);
        w.Start();
        const auto client = Open();
        const auto another = Open();
        const WindowHandle splitter = desktop.AddChild(client.main, {"Splitter", "", {260, 20, 266, 170}});
        const WindowHandle alien = desktop.AddChild(client.main, {"Host", "", {0, 0, 5, 5}, {}, true, 0, false,
                                                                   true, false, 7777});
        const WindowHandle anotherSplitter = desktop.AddChild(another.main, {"Splitter", "", {260, 20, 266, 170}});
        WindowHandle grabbed = 0;
        const auto grab = [&](WindowHandle window) { desktop.StartCapture(grabbed = window); };
        const auto play = [&](const std::vector<Step>& steps) {
            for (const Step step : steps) {
                switch (step) {
                    case kGrab: grab(splitter); break;
                    case kGrabFrame: grab(client.main); break;
                    case kGrabInAnotherThread: grab(alien); break;
                    case kLetGo: desktop.EndCapture(grabbed); break;
                    case kDrag:
                        for (const int width : {300, 330, 360}) Drag(client.panes[0], width);
                        break;
                    case kDragToNothing: Drag(client.panes[0], 0); break;
                    case kNudge: Drag(client.panes[0], 301); break;
                    case kRelayout: Drag(client.panes[0], 280); break;
                    case kClamp:
                        desktop.MoveWindow(client.main, 100, 100, 300, 600);
                        Drag(client.panes[0], 150);
                        break;
                    case kFrameBack: desktop.MoveWindow(client.main, 100, 100, 800, 600); break;
                    case kMoveFrame: desktop.MoveWindow(client.main, 150, 100, 800, 600); break;
                    case kMinimize: desktop.Minimize(client.main); break;
                    case kHide: desktop.Hide(client.main); break;
                    case kShow: desktop.Show(client.main); break;
                    case kMinimizeAndRestore:
                        desktop.Minimize(client.main);
                        desktop.Restore(client.main);
                        Drag(client.panes[0], 250);
                        break;
                    case kHang: desktop.Hang(client.main); break;
                    case kWake: desktop.Wake(client.main); break;
                    case kPause:
                    case kGoOn: w.Pause(step == kPause); break;
                    case kForget: w.ForgetUserWidth(); break;
                    case kDragAnother:
                        desktop.StartCapture(anotherSplitter);
                        desktop.DeliverEvents();
                        Drag(another.panes[0], 360);
                        desktop.EndCapture(anotherSplitter);
                        break;
                }
                desktop.DeliverEvents();
            }
            Run(seconds(2));
        };
        play(row.beforeSet);
        play(row.afterSet);
        EXPECT_EQ(kept.width, row.kept);
        EXPECT_EQ(Logged("user's width"), row.kept || row.forgotten ? 1u + row.forgotten : 0u) << file.text;
        EXPECT_EQ(timers.Pending(), 0u);
        const auto next = Open();
        Run(seconds(1));
        EXPECT_EQ(Width(next.panes[0]), static_cast<int>(row.kept.value_or(300)));
        for (const WindowHandle main : {client.main, another.main, next.main}) desktop.Destroy(main);
    }
}

// Moves are heard from a capture's start to its end, of that client alone:
// a drag elsewhere, or none, wakes the watch for nothing.
TEST_F(WatcherTest, HearsMovesOnlyDuringADragInAClientSet) {
    watcher.Start();
    const auto client = Open();
    const auto other = Open();
    Run(seconds(2));
    const WindowHandle splitter = desktop.AddChild(client.main, {"Splitter", "", {260, 20, 266, 170}});
    Run(milliseconds(10));
    const std::uint64_t before = desktop.Delivered();
    for (int i = 0; i < 1000; ++i) Drag(client.panes[0], 250 + i % 50);
    Run(milliseconds(10));
    EXPECT_EQ(desktop.Delivered(), before) << "moves heard with no drag";
    desktop.StartCapture(splitter);
    Run(milliseconds(10));
    for (int i = 0; i < 100; ++i) Drag(client.panes[0], 250 + i);
    desktop.MoveWindow(other.panes[0], 10, 20, 200, 150);
    desktop.EndCapture(splitter);
    Run(milliseconds(10));
    for (int i = 0; i < 100; ++i) Drag(client.panes[0], 250 + i % 50);
    Run(milliseconds(10));
    EXPECT_EQ(desktop.Delivered() - before, 1u + 100 + 1) << "the capture's start, the drag's moves and its end";
    EXPECT_EQ(store.width, 349u);
}

// The watch in its session: its icon's tip and menu as the watch is; pausing
// leaves the panes that appear alone, applying now sets every client's only
// pane (not taken for the user's width), forgetting brings back the width
// without the user's; a pane that cannot be set is told once each time its
// client appears; Exit, /stop and the end of the session end it once.
TEST_F(WatcherTest, TheSessionShowsTheWatchOnItsIconAndEndsItOnce) {
    store.width = 360;
    StartPlan plan = PlanStart("/newsize=250 /log=x", nullptr, true, &store);
    ASSERT_EQ(plan.from.width, Source::UserWidth);
    testing::MemoryNotificationArea area;
    WatchSession watch(plan, {desktop, timers, desktop, session, host, &area, &store}, log);
    ASSERT_EQ(watch.Start(), std::nullopt);
    EXPECT_EQ(host.restartArguments, "/newsize=250 /log=x");
    EXPECT_EQ(area.look.tip, "Kestrum: navigation pane 360 pixels (your own width)");
    EXPECT_EQ(area.MenuTexts(),
              (std::vector<std::string>{"&Apply now", "&Pause", "&Forget my width", "*&Open Kestrum", "E&xit"}));

    ASSERT_TRUE(area.Choose(IconCommand::Pause));
    EXPECT_EQ(area.look.tip, "Kestrum: navigation pane 360 pixels (your own width), paused");
    EXPECT_EQ(area.MenuTexts()[1], "[x]&Pause");
    const auto client = Open();
    Run(seconds(2));
    EXPECT_EQ(Width(client.panes[0]), 250) << "left alone while paused";
    Drag(client.panes[0], 200);
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
    const std::string severalPanes = "Kestrum leaves a client with several navigation panes alone: drag the edge of "
                                     "the one you use to the width you want";
    EXPECT_EQ(area.notices,
              (std::vector<std::string>{severalPanes,
                                        "A client is not answering: its pane gets the width when it answers again, "
                                        "or when you close the client and open it again",
                                        "Start Kestrum as administrator to set the pane of a client started as "
                                        "administrator",
                                        severalPanes}));

    host.opensWindows = false;
    area.Choose(IconCommand::Open);
    EXPECT_EQ(host.windowsOpened, 1);
    EXPECT_EQ(Logged("Kestrum's window could not be opened\n"), 1u);
    area.Choose(IconCommand::Exit);
    host.listener->Asked({WatchRequest::Stop});
    host.listener->SessionEnding(SessionEnd::Ended);
    EXPECT_EQ(host.quits, 1) << "ended once";
    EXPECT_EQ(Logged("stopped from its icon\n"), 1u);
    EXPECT_EQ(Logged("session ended\n"), 0u);
}

// Started with a program to run: beside a running watch, the program is
// started and the run ends; otherwise it watches, looks for nothing while
// the program runs, and ends once the program has ended and no client
// remains, looking once a second after the program's end.
TEST_F(WatcherTest, AWatchThatStartsTheClientEndsWithIt) {
    const StartPlan plan = PlanStart("/watch /run=\"\\\"C:\\C\\client.exe\\\" -x\"", nullptr, true);
    const std::string program = "program \"C:\\\\C\\\\client.exe\" ";
    const std::string notStarted = "could not be started: File not found (error 2)\n";
    const struct {
        WatchMark mark;
        std::optional<std::string> failure;
        std::optional<int> status;
        std::string logged;
        int clientStaysMs = 0;  // after the program's end
    } rows[] = {
        {WatchMark::Taken, {}, {}, "started\n"},
        {WatchMark::Taken, {}, {}, "started\n", 2500},
        {WatchMark::HeldByAnother, {}, 0, "started: this session's watch sets its pane\n"},
        {WatchMark::Taken, "File not found (error 2)", 9, notStarted},
        {WatchMark::HeldByAnother, "File not found (error 2)", 9, notStarted},
    };
    for (const auto& row : rows) {
        file.text.clear();
        testing::MemoryWatchHost host;
        host.startFailure = row.failure;
        testing::MemorySessionWatches session;
        session.mark = row.mark;
        WatchSession watch(plan, {desktop, timers, desktop, session, host}, log);
        ASSERT_EQ(watch.Start(), row.status);
        EXPECT_EQ(host.started, (std::vector<ProgramLine>{{"C:\\C\\client.exe", "-x"}}));
        EXPECT_EQ(Logged(program + row.logged), 1u) << file.text;
        EXPECT_EQ(host.restartArguments, "") << "started again, it would start the program again";
        if (row.status) continue;
        const auto client = Open();
        Run(seconds(2));
        EXPECT_EQ(timers.Pending(), 0u) << "nothing looks while the program runs";
        if (row.clientStaysMs == 0) desktop.Destroy(client.main);
        host.listener->ProgramEnded();
        Run(milliseconds(row.clientStaysMs));
        EXPECT_EQ(host.quits, row.clientStaysMs == 0 ? 1 : 0);
        if (row.clientStaysMs != 0) desktop.Destroy(client.main);
        Run(seconds(1));
        EXPECT_EQ(host.quits, 1);
        EXPECT_EQ(Logged("T  ended with the client\n"), 1u) << file.text;
    }
}

// What the command line asks of the watch is done, told in the log first,
// with nothing to do where it is so already; once ended, nothing is done.
TEST_F(WatcherTest, TheSessionDoesWhatTheCommandLineAsks) {
    store.width = 360;
    const StartPlan plan = PlanStart("/watch /newsize=250", nullptr, true, &store);
    WatchSession watch(plan, {desktop, timers, desktop, session, host, nullptr, &store}, log);
    ASSERT_EQ(watch.Start(), std::nullopt);
    using enum WatchRequest;
    const std::pair<WatchRequest, const char*> rows[] = {
        {Pause, "/pause from the command line\nT  paused\n"}, {Pause, "/pause from the command line: paused"},
        {Resume, "/resume from the command line\nT  no longer"}, {Resume, "/resume from the command line: not"},
        {Forget, "/forget from the command line\nT  user's width 360 forgotten"},
        {Forget, "/forget from the command line: no user's"}, {ApplyNow, "/apply from the command line\n"},
    };
    for (const auto& [request, logged] : rows) {
        EXPECT_TRUE(host.listener->Asked({request}));
        EXPECT_EQ(Logged(logged), 1u) << file.text;
    }
    EXPECT_TRUE(host.listener->Asked({Stop}));
    EXPECT_FALSE(host.listener->Asked({Pause})) << "an ended watch does nothing";
}

}  // namespace
}  // namespace kestrum
