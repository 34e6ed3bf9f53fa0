// Setting the pane width and toggling a window's enabled state.
#include <gtest/gtest.h>

#include "support/desktop_fixture.h"

namespace kestrum {
namespace {

using testing::AddClient;

class ActionsTest : public testing::FormOnDesktopTest {
protected:
    // Lists the clients and selects the first, as start-up does.
    void Discover() {
        FindClients();
        List(0).SetSelectedIndex(0);
    }
};

struct ResetCase {
    const char* name;
    Point clientOffset;     // of the main window
    bool nestedInFrame;     // pane inside an intermediate framed child
    bool mirrored;          // the client laid out right to left, its frame too
    int paneWidth;
    std::int16_t newSize;
    int expectedWidth;
};

void PrintTo(const ResetCase& c, std::ostream* os) { *os << c.name; }

class PaneResetTest : public ActionsTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(PaneResetTest, SetsTheWidthKeepingPlaceAndHeight) {
    const ResetCase& c = GetParam();
    NewWindow mainSpec{"C/SIDE Application", "Client", {100, 100, 900, 700}, c.clientOffset};
    mainSpec.mirrored = c.mirrored;
    const WindowHandle main = desktop.AddTopLevel(mainSpec);
    WindowHandle parent = main;
    if (c.nestedInFrame) {
        NewWindow frame{"Frame", "", {3, 4, 603, 504}, {2, 2}};
        frame.mirrored = c.mirrored;
        parent = desktop.AddChild(main, frame);
    }
    const WindowHandle pane = desktop.AddChild(parent, {"C/SIDE NavPane", "", {10, 20, 10 + c.paneWidth, 170}});
    const Rect before = desktop.ScreenRect(pane);
    Discover();
    form.NewSize = c.newSize;

    const ResetOutcome outcome = Press();

    EXPECT_EQ(outcome, c.paneWidth == c.newSize ? ResetOutcome::AlreadyThatWide : ResetOutcome::Moved);
    // The pane keeps its logical place: on screen a pane in a mirrored
    // parent keeps its right edge and grows to the left.
    const Rect after = desktop.ScreenRect(pane);
    EXPECT_EQ(desktop.RectInParent(pane).left, 10);
    EXPECT_EQ(desktop.RectInParent(pane).top, 20);
    if (c.mirrored) {
        EXPECT_EQ(after.right, before.right);
    } else {
        EXPECT_EQ(after.left, before.left);
    }
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.right - after.left, c.expectedWidth);
    // The width goes to the window manager as it is, negative or not; only
    // what the window manager makes of it shows on screen.
    const std::vector<MoveCall> expectedMoves{{pane, 10, 20, c.newSize, 150}};
    EXPECT_EQ(desktop.Moves(), c.paneWidth == c.newSize ? std::vector<MoveCall>{} : expectedMoves);
    EXPECT_TRUE(messages.Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PaneResetTest,
    ::testing::Values(ResetCase{"Framed", {4, 23}, false, false, 250, 300, 300},
                      ResetCase{"Frameless", {0, 0}, false, false, 250, 300, 300},
                      ResetCase{"NestedInAFrame", {4, 23}, true, false, 250, 180, 180},
                      ResetCase{"AlreadyRight", {4, 23}, false, false, 300, 300, 300},
                      ResetCase{"Mirrored", {4, 23}, false, true, 250, 300, 300},
                      ResetCase{"MirroredNarrower", {0, 0}, false, true, 250, 120, 120},
                      ResetCase{"MirroredNestedInAFrame", {4, 23}, true, true, 250, 300, 300},
                      ResetCase{"MirroredAlreadyRight", {4, 23}, true, true, 300, 300, 300},
                      // A negative width from the command line is passed on
                      // unchanged; the window manager makes it 0.
                      ResetCase{"NegativeWidth", {4, 23}, false, false, 250, -40, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActionsTest, ATopLevelPaneKeepsScreenCoordinates) {
    AddClient(desktop, "Client", {});
    // A window with no parent is placed in screen coordinates, unconverted.
    const WindowHandle loose = desktop.AddTopLevel({"C/SIDE NavPane", "", {40, 50, 240, 350}});
    Discover();
    List(2).Clear();
    List(2).SetItemData(List(2).AddItem("loose"), loose);
    Press();
    EXPECT_EQ(desktop.ScreenRect(loose), (Rect{40, 50, 340, 350}));
}

TEST_F(ActionsTest, OnlyTheFirstPaneChanges) {
    const auto client = AddClient(desktop, "Client", {250, 200});
    Discover();
    Press();
    EXPECT_EQ(desktop.ScreenRect(client.panes[0]).right - desktop.ScreenRect(client.panes[0]).left, 300);
    EXPECT_EQ(desktop.RectInParent(client.panes[1]), (Rect{10, 220, 210, 370}));
}

TEST_F(ActionsTest, ActsOnThePaneOfTheClientSelectedLast) {
    const auto first = AddClient(desktop, "First", {250});
    const auto second = AddClient(desktop, "Second", {250});
    Discover();
    List(0).SetSelectedIndex(1);
    Press();
    EXPECT_EQ(desktop.RectInParent(first.panes[0]).right, 260);
    EXPECT_EQ(desktop.RectInParent(second.panes[0]).right, 310);
}

TEST_F(ActionsTest, NoPaneReportsEachTime) {
    AddClient(desktop, "Client", {});
    Discover();
    EXPECT_EQ(Press(), ResetOutcome::PaneGone);
    EXPECT_EQ(Press(), ResetOutcome::PaneGone);
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"NavPane was not found", "NavPane was not found"}));
    EXPECT_EQ(desktop.Calls(Operation::MoveWindow), 0u);
}

TEST_F(ActionsTest, DoubleClickTogglesBothWaysAndReadsTheStateAfresh) {
    const auto client = AddClient(desktop, "Client");
    Discover();
    DoubleClick();
    EXPECT_FALSE(desktop.Enabled(client.main));
    DoubleClick();
    EXPECT_TRUE(desktop.Enabled(client.main));
    // Disabled by someone else (a modal dialog, say): the next double-click
    // enables it.
    desktop.RequestEnable(client.main, false);
    DoubleClick();
    EXPECT_TRUE(desktop.Enabled(client.main));
}

// The toggle asks first whether the window answers, and reads the state back
// afterwards, all on timers: a hung client is left alone, a client that stops
// answering once asked is said to change when it answers, and a state that
// did not change is told.
TEST_F(ActionsTest, DoubleClickOnAWindowThatDoesNotAnswerOrIsGoneSaysSo) {
    struct Case {
        const char* name;
        void (*fault)(MemoryDesktop&, WindowHandle main);
        std::vector<EnableCall> enableCalls;
        const char* message;
        bool enabledOnceAwake;
    };
    const Case cases[] = {
        {"hung", [](MemoryDesktop& d, WindowHandle main) { d.Hang(main); }, {},
         "The window is not responding; its state was not changed.", true},
        // A window that reads as disabled is enabled, as any other.
        {"gone", [](MemoryDesktop& d, WindowHandle main) { d.Destroy(main); }, {{0, true}},
         "The window's state could not be changed.", false},
        {"stops answering once asked",
         [](MemoryDesktop& d, WindowHandle main) {
             d.OnCall(Operation::RequestEnable, main, [&d, main] { d.Hang(main); });
         },
         {{0, false}}, "The window stopped responding: its state will change when it answers, while Kestrum is open.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryDesktop here;
        testing::RecordingMessageBoxes said;
        testing::FakeTimers timers;
        const StartPlan plan;
        RunLog log(nullptr);
        Form1 form1{here, said, timers, plan, log};
        const auto client = AddClient(here, "Client");
        ListWindows(here, form1.List1(0), kModeMainWindows, 0);
        form1.List1(0).SetSelectedIndex(0);
        c.fault(here, client.main);
        form1.List1_DblClick(0);
        timers.Advance(std::chrono::seconds(2));
        std::vector<EnableCall> expected = c.enableCalls;
        for (EnableCall& call : expected) call.window = client.main;
        EXPECT_EQ(here.EnableCalls(), expected);
        EXPECT_EQ(said.Texts(), std::vector<std::string>{c.message});
        here.Wake(client.main);
        EXPECT_EQ(here.Enabled(client.main), c.enabledOnceAwake);
    }
}

// After the move, the pane is read back until it shows the width with its
// place and height, for a second at most: what is seen decides what is said,
// and what an unattended run's status is.
struct SeenCase {
    const char* name;
    void (*fault)(MemoryDesktop&, WindowHandle pane, testing::FakeTimers&);
    const char* message;  // "" for none
    int widthAfter;       // the pane's width once it is all over
    int status;           // of an unattended run
};

void PrintTo(const SeenCase& c, std::ostream* os) { *os << c.name; }

class WidthSeenTest : public ActionsTest, public ::testing::WithParamInterface<SeenCase> {};

TEST_P(WidthSeenTest, DecidesWhatIsSaid) {
    const SeenCase& c = GetParam();
    const auto client = AddClient(desktop, "Client", {250});
    const WindowHandle pane = client.panes[0];
    if (c.fault != nullptr) c.fault(desktop, pane, clock);

    const StartOutcome outcome = Load("/AUTO");
    clock.Advance(std::chrono::seconds(10));  // whatever was to happen later

    EXPECT_EQ(ExitStatusFor(outcome), c.status);
    EXPECT_EQ(messages.Texts(), c.message[0] == '\0' ? std::vector<std::string>{}
                                                     : std::vector<std::string>{c.message});
    if (desktop.Exists(pane)) {
        EXPECT_EQ(desktop.RectInParent(pane).right - desktop.RectInParent(pane).left, c.widthAfter);
        EXPECT_EQ(desktop.RectInParent(pane).left, 10);
    }
    EXPECT_LE(endedAt, std::chrono::milliseconds(1000)) << "a second at most";
    EXPECT_LE(clock.started, 1000 / 15 + 1) << "looked at every 15 ms";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidthSeenTest,
    ::testing::Values(
        SeenCase{"Seen", nullptr, "", 300, 0},
        SeenCase{"SeenAfterAWhile",
                 [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers& clock) {
                     d.Hang(pane);
                     clock.At(std::chrono::milliseconds(400), [&d, pane] { d.Wake(pane); });
                 },
                 "", 300, 0},
        SeenCase{"Refused", [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers&) { d.RefuseMoves(pane); },
                 "Kestrum may not change this client's windows: the client runs with higher rights "
                 "(for example as administrator). Start Kestrum the same way.",
                 250, 7},
        // The client wakes after the second: the move waited for it.
        SeenCase{"Deferred",
                 [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers& clock) {
                     d.Hang(pane);
                     clock.At(std::chrono::milliseconds(5000), [&d, pane] { d.Wake(pane); });
                 },
                 "The client is not responding: the width will be set when it answers.",
                 300, 6},
        // Posted, and dropped for the client's higher rights: told as refused.
        SeenCase{"DroppedForHigherRights",
                 [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers&) { d.GiveHigherRights(pane); },
                 "Kestrum may not change this client's windows: the client runs with higher rights "
                 "(for example as administrator). Start Kestrum the same way.",
                 250, 7},
        SeenCase{"NotTaken", [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers&) { d.DropMoves(pane); },
                 "The client did not take the new width.", 250, 6},
        // Under another account: a slow client is not answering, not refused;
        // one that answers and did not take the width is told apart.
        SeenCase{"AnotherAccountNotAnswering",
                 [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers&) {
                     d.RunUnderAnotherAccount(pane);
                     d.Hang(pane);
                 },
                 "The client is not responding: the width will be set when it answers.", 250, 6},
        SeenCase{"AnotherAccountNotTaken",
                 [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers&) {
                     d.RunUnderAnotherAccount(pane);
                     d.DropMoves(pane);
                 },
                 "Kestrum may not change this client's windows: the client runs under another account. Start "
                 "Kestrum as that user.",
                 250, 7},
        SeenCase{"GoneMeanwhile",
                 [](MemoryDesktop& d, WindowHandle pane, testing::FakeTimers&) {
                     d.DestroyOnCall(Operation::MoveWindow, pane, pane);
                 },
                 "NavPane was not found", 0, 4}),
    [](const auto& info) { return std::string(info.param.name); });

// A client that drops its pane and makes a new one after the pane list was
// built: the button finds the new one, as selecting the client again would,
// and says nothing. With no pane left, it says so.
TEST_F(ActionsTest, APaneReplacedSinceTheListWasBuiltIsFoundAgain) {
    const auto client = AddClient(desktop, "Client", {250});
    Discover();
    desktop.Destroy(client.panes[0]);
    const WindowHandle replaced =
        desktop.AddChild(client.main, {std::string(kPaneClass), "", {10, 20, 200, 170}, {}});
    EXPECT_EQ(Press(), ResetOutcome::Moved);
    EXPECT_EQ(desktop.RectInParent(replaced), (Rect{10, 20, 310, 170}));
    EXPECT_EQ(Handles(2), std::vector<WindowHandle>{replaced});
    EXPECT_TRUE(messages.Texts().empty());

    desktop.Destroy(replaced);
    EXPECT_EQ(Press(), ResetOutcome::PaneGone);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"NavPane was not found"});
}

TEST_F(ActionsTest, DoubleClickWithoutASelectionOrOnABadIndexDoesNothing) {
    AddClient(desktop, "Client");
    ListWindows(desktop, List(0), kModeMainWindows, 0);  // listed, not selected
    desktop.ResetCalls();
    form.List1_DblClick(0);
    form.List1_DblClick(2);
    form.List1_DblClick(7);
    form.List1_DblClick(-1);
    EXPECT_EQ(desktop.TotalCalls(), 0u);
}

}  // namespace
}  // namespace kestrum
