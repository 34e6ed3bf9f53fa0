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

    const ResetOutcome outcome = form.Command2_Click();

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
    form.Command2_Click();
    EXPECT_EQ(desktop.ScreenRect(loose), (Rect{40, 50, 340, 350}));
}

TEST_F(ActionsTest, OnlyTheFirstPaneChanges) {
    const auto client = AddClient(desktop, "Client", {250, 200});
    Discover();
    form.Command2_Click();
    EXPECT_EQ(desktop.ScreenRect(client.panes[0]).right - desktop.ScreenRect(client.panes[0]).left, 300);
    EXPECT_EQ(desktop.RectInParent(client.panes[1]), (Rect{10, 220, 210, 370}));
}

TEST_F(ActionsTest, ActsOnThePaneOfTheClientSelectedLast) {
    const auto first = AddClient(desktop, "First", {250});
    const auto second = AddClient(desktop, "Second", {250});
    Discover();
    List(0).SetSelectedIndex(1);
    form.Command2_Click();
    EXPECT_EQ(desktop.RectInParent(first.panes[0]).right, 260);
    EXPECT_EQ(desktop.RectInParent(second.panes[0]).right, 310);
}

TEST_F(ActionsTest, NoPaneReportsEachTime) {
    AddClient(desktop, "Client", {});
    Discover();
    EXPECT_EQ(form.Command2_Click(), ResetOutcome::NoPaneListed);
    EXPECT_EQ(form.Command2_Click(), ResetOutcome::NoPaneListed);
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"NavPane was not found", "NavPane was not found"}));
    EXPECT_EQ(desktop.Calls(Operation::MoveWindow), 0u);
}

TEST_F(ActionsTest, DoubleClickTogglesBothWaysAndReadsTheStateAfresh) {
    const auto client = AddClient(desktop, "Client");
    Discover();
    form.List1_DblClick(0);
    EXPECT_FALSE(desktop.Enabled(client.main));
    form.List1_DblClick(0);
    EXPECT_TRUE(desktop.Enabled(client.main));
    // Disabled by someone else (a modal dialog, say): the next double-click
    // enables it.
    desktop.EnableWindow(client.main, false);
    form.List1_DblClick(0);
    EXPECT_TRUE(desktop.Enabled(client.main));
}

TEST_F(ActionsTest, DoubleClickOnAStaleHandleTriesToEnableAndReportsNothing) {
    const auto client = AddClient(desktop, "Client");
    Discover();
    desktop.Destroy(client.main);
    desktop.ResetCalls();
    form.List1_DblClick(0);
    EXPECT_EQ(desktop.Calls(Operation::IsWindowEnabled), 1u);
    EXPECT_EQ(desktop.EnableCalls(), (std::vector<EnableCall>{{client.main, true}}))
        << "a window that reads as disabled is enabled";
    EXPECT_TRUE(messages.Texts().empty());
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
