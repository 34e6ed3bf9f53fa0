// The start-up roads and the width field, on the in-memory desktop.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/desktop_fixture.h"
#include "support/recording_view.h"

namespace kestrum {
namespace {

using testing::AddClient;

using Form1Test = testing::FormOnDesktopTest;

struct Road {
    const char* name;
    std::vector<std::vector<int>> clients;  // pane widths, one list per client
    std::string arguments;
    StartOutcome outcome;
    std::vector<std::string> messages;
    int firstPaneWidth;  // -1: no pane
    std::string fieldText;
};

void PrintTo(const Road& r, std::ostream* os) { *os << r.name; }

class StartUpTest : public Form1Test, public ::testing::WithParamInterface<Road> {};

TEST_P(StartUpTest, TakesTheRoad) {
    const Road& road = GetParam();
    std::vector<testing::Client> clients;
    for (const auto& panes : road.clients) clients.push_back(AddClient(desktop, "Client", panes));

    EXPECT_EQ(form.Form_Load(road.arguments), road.outcome);

    EXPECT_EQ(messages.Texts(), road.messages);
    EXPECT_EQ(form.Visible, road.outcome == StartOutcome::Shown)
        << "the window must never appear on a road that ends without it";
    if (road.firstPaneWidth >= 0) {
        const Rect pane = desktop.ScreenRect(clients.at(0).panes.at(0));
        EXPECT_EQ(pane.right - pane.left, road.firstPaneWidth);
    }
    EXPECT_EQ(form.Text1, road.fieldText);
    if (!road.clients.empty() && road.outcome != StartOutcome::WidthOutOfRange) {
        EXPECT_EQ(List(0).SelectedIndex(), 0);
        EXPECT_EQ(List(0).ListCount(), static_cast<ListIndex>(road.clients.size()));
        EXPECT_EQ(List(2).ListCount(), static_cast<ListIndex>(road.clients[0].size()));
    }
}

const std::vector<std::string> kNoClient{"no C/Side Application found"};
const std::vector<std::string> kNone{};

INSTANTIATE_TEST_SUITE_P(
    Roads, StartUpTest,
    ::testing::Values(
        Road{"NoClient", {}, "", StartOutcome::NoClientFound, kNoClient, -1, "300"},
        Road{"NoClientAuto", {}, "/AUTO", StartOutcome::NoClientFound, kNoClient, -1, "300"},
        Road{"OneClientOnePaneAuto", {{250}}, "/AUTO", StartOutcome::AutoApplied, kNone, 300, "300"},
        Road{"AlreadyRightAuto", {{300}}, "/auto", StartOutcome::AutoApplied, kNone, 300, "300"},
        Road{"AutoWithWidth", {{250}}, "/AUTO /newsize=250", StartOutcome::AutoApplied, kNone, 250, "250"},
        Road{"AutoWithWidthChanging", {{100}}, "/AUTO /newsize=250", StartOutcome::AutoApplied, kNone, 250, "250"},
        Road{"OneClientOnePane", {{250}}, "", StartOutcome::Shown, kNone, 250, "300"},
        Road{"TwoClientsAuto", {{250}, {250}}, "/AUTO", StartOutcome::Shown, kNone, 250, "300"},
        Road{"TwoPanesAuto", {{250, 200}}, "/AUTO", StartOutcome::Shown, kNone, 250, "300"},
        Road{"NoPaneAuto", {{}}, "/AUTO", StartOutcome::Shown, kNone, -1, "300"},
        Road{"NegativeWidth", {{250}}, "/newsize=-40", StartOutcome::Shown, kNone, 250, "-40"},
        Road{"WidthOutOfRange", {{250}}, "/AUTO /newsize=40000", StartOutcome::WidthOutOfRange,
             {"The width \"/newsize=40000\" is out of range: it must lie between -32768 and 32767."},
             250, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, AnOutOfRangeWidthStopsBeforeAnyWindowIsSearched) {
    AddClient(desktop, "Client");
    form.Form_Load("/newsize=99999");
    EXPECT_EQ(desktop.Calls(Operation::EnumerateTopLevelWindows), 0u);
}

// An unattended run whose pane is gone by the time of the reset (the client
// closed it, or its parent, after it was listed): the message, then an end
// that says it failed, never the status of success.
struct VanishingPane {
    const char* name;
    Operation operation;  // the call during which `victim` goes
    const char* onWindow;
    const char* victim;
};

void PrintTo(const VanishingPane& c, std::ostream* os) { *os << c.name; }

class UnattendedResetFails : public Form1Test, public ::testing::WithParamInterface<VanishingPane> {};

TEST_P(UnattendedResetFails, ReportsAndEndsWithItsOwnStatus) {
    const VanishingPane& c = GetParam();
    const WindowHandle main =
        desktop.AddTopLevel({"C/SIDE Application", "Client", {100, 100, 900, 700}, testing::kFrame});
    const WindowHandle frame = desktop.AddChild(main, {"Frame", "", {5, 5, 505, 505}, {2, 2}});
    const WindowHandle pane = desktop.AddChild(frame, {"C/SIDE NavPane", "", {10, 20, 260, 170}});
    const std::map<std::string, WindowHandle> named{{"Main", main}, {"Frame", frame}, {"Pane", pane}};
    desktop.DestroyOnCall(c.operation, named.at(c.onWindow), named.at(c.victim));

    const StartOutcome outcome = form.Form_Load("/AUTO /newsize=180");

    EXPECT_EQ(outcome, StartOutcome::AutoFailed);
    EXPECT_EQ(ExitStatusFor(outcome), kExitPaneNotReset);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"NavPane was not found"}));
    EXPECT_FALSE(form.Visible);
    EXPECT_EQ(desktop.Calls(Operation::MoveWindow), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnattendedResetFails,
    ::testing::Values(VanishingPane{"PaneBeforeItsRectangle", Operation::ReadWindowRect, "Pane", "Pane"},
                      VanishingPane{"ClientBeforeThePanesRectangle", Operation::ReadWindowRect, "Pane", "Main"},
                      VanishingPane{"ParentWhileMapping", Operation::MapRectToClient, "Frame", "Frame"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, InteractiveRoadResizesTheSecondClientsPaneWithTheTypedWidth) {
    const auto first = AddClient(desktop, "First", {250});
    const auto second = AddClient(desktop, "Second", {250, 100});
    ASSERT_EQ(form.Form_Load(""), StartOutcome::Shown);
    List(0).SetSelectedIndex(1);
    EXPECT_EQ(List(2).ItemData(0), second.panes[0]);

    form.Text1 = "180";
    bool cancel = false;
    form.Text1_Validate(cancel);  // focus leaves the field for the button
    form.Command2_Click();

    EXPECT_FALSE(cancel);
    EXPECT_EQ(desktop.RectInParent(second.panes[0]), (Rect{10, 20, 190, 170}));
    EXPECT_EQ(desktop.RectInParent(first.panes[0]), (Rect{10, 20, 260, 170}));
}

struct FieldCase {
    std::int16_t before;
    std::string typed;
    std::int16_t after;
    std::string shown;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << '"' << c.typed << '"'; }

class WidthFieldTest : public Form1Test, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(WidthFieldTest, ValidatesAndRewritesTheText) {
    const FieldCase& c = GetParam();
    form.NewSize = c.before;
    form.Text1 = c.typed;
    bool cancel = false;
    form.Text1_Validate(cancel);
    EXPECT_EQ(form.NewSize, c.after) << "typed: " << c.typed;
    EXPECT_EQ(form.Text1, c.shown) << "typed: " << c.typed;
    EXPECT_FALSE(cancel);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidthFieldTest,
    ::testing::Values(FieldCase{300, "250", 250, "250"}, FieldCase{300, "499", 499, "499"},
                      FieldCase{300, "1", 1, "1"}, FieldCase{300, "500", 300, "300"},
                      FieldCase{300, "0", 300, "300"}, FieldCase{300, "-5", 300, "300"},
                      FieldCase{300, "", 300, "300"}, FieldCase{300, "12abc", 12, "12"},
                      FieldCase{250, " 3 0 0 ", 300, "300"}, FieldCase{300, "2.5", 2, "2"},
                      FieldCase{300, "3.5", 4, "4"}, FieldCase{300, "0.4", 300, "300"},
                      FieldCase{300, "99999999999", 300, "300"},
                      FieldCase{300, "1e999999999", 300, "300"},
                      // A width from the command line outside the field's range
                      // stays until a usable one is typed.
                      FieldCase{-40, "-40", -40, "-40"}, FieldCase{-40, "abc", -40, "-40"},
                      FieldCase{2000, "2000", 2000, "2000"}, FieldCase{-40, "180", 180, "180"}));

// What the form changes while its window shows it is shown: the field's text
// once normalised, the clients' list when its selection is set from code,
// the whole field selected on focus. Before there is a window, nothing is.
TEST_F(Form1Test, ChangesOfTheStateAreShownByItsView) {
    AddClient(desktop, "First");
    AddClient(desktop, "Second");
    testing::RecordingView view;
    ASSERT_EQ(form.Form_Load(""), StartOutcome::Shown);
    form.SetView(&view);
    form.Text1 = " 1 8 0";
    bool cancel = false;
    form.Text1_Validate(cancel);
    form.Text1_GotFocus();
    List(0).SetSelectedIndex(1);
    List(2).SetSelectedIndex(0);
    EXPECT_EQ(form.Text1, "180");
    EXPECT_EQ(view.asked, (std::vector<std::string>{"text", "select all", "clients"}));
    form.SetView(nullptr);
    form.Text1_Validate(cancel);
    EXPECT_EQ(view.asked.size(), 3u);
}

}  // namespace
}  // namespace kestrum
