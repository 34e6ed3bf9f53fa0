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

struct StartUpCase {
    const char* name;
    std::vector<std::vector<int>> clients;  // pane widths, one list per client
    std::string arguments;
    StartOutcome outcome;
    std::vector<std::string> messages;
    int firstPaneWidth;  // -1: no pane
    std::string fieldText;
    bool seen = true;  // false: a window station no one can see
};

void PrintTo(const StartUpCase& r, std::ostream* os) { *os << r.name; }

class StartUpTest : public Form1Test, public ::testing::WithParamInterface<StartUpCase> {};

TEST_P(StartUpTest, TakesTheRoad) {
    const StartUpCase& road = GetParam();
    std::vector<testing::Client> clients;
    for (const auto& panes : road.clients) clients.push_back(AddClient(desktop, "Client", panes));
    messages.answerable = road.seen;

    EXPECT_EQ(Load(road.arguments), road.outcome);

    // A message ending in "…" is matched by its beginning.
    ASSERT_EQ(messages.Texts().size(), road.messages.size()) << ::testing::PrintToString(messages.Texts());
    for (std::size_t i = 0; i < road.messages.size(); ++i) {
        const std::string& want = road.messages[i];
        const bool cut = want.ends_with("\xE2\x80\xA6");
        EXPECT_EQ(cut ? messages.Texts()[i].substr(0, want.size() - 3) : messages.Texts()[i],
                  cut ? want.substr(0, want.size() - 3) : want);
    }
    EXPECT_EQ(form.Visible, road.outcome == StartOutcome::Shown)
        << "the window must never appear on a road that ends without it";
    if (road.firstPaneWidth >= 0) {
        const Rect pane = desktop.ScreenRect(clients.at(0).panes.at(0));
        EXPECT_EQ(pane.right - pane.left, road.firstPaneWidth);
    }
    EXPECT_EQ(form.Text1, road.fieldText);
    if (!road.clients.empty() && road.outcome != StartOutcome::OutOfRange &&
        road.outcome != StartOutcome::HelpShown) {
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
        StartUpCase{"NoClient", {}, "", StartOutcome::NoClientFound, kNoClient, -1, "300"},
        StartUpCase{"NoClientAuto", {}, "/AUTO", StartOutcome::NoClientFound, kNoClient, -1, "300"},
        StartUpCase{"OneClientOnePaneAuto", {{250}}, "/AUTO", StartOutcome::AutoApplied, kNone, 300, "300"},
        StartUpCase{"AlreadyRightAuto", {{300}}, "/auto", StartOutcome::AutoApplied, kNone, 300, "300"},
        StartUpCase{"AutoWithWidth", {{250}}, "/AUTO /newsize=250", StartOutcome::AutoApplied, kNone, 250, "250"},
        StartUpCase{"AutoWithWidthChanging", {{100}}, "/AUTO /newsize=250", StartOutcome::AutoApplied, kNone, 250, "250"},
        StartUpCase{"OneClientOnePane", {{250}}, "", StartOutcome::Shown, kNone, 250, "300"},
        StartUpCase{"TwoClientsAuto", {{250}, {250}}, "/AUTO", StartOutcome::Shown, kNone, 250, "300"},
        StartUpCase{"TwoPanesAuto", {{250, 200}}, "/AUTO", StartOutcome::Shown, kNone, 250, "300"},
        StartUpCase{"NoPaneAuto", {{}}, "/AUTO", StartOutcome::Shown, kNone, -1, "300"},
        StartUpCase{"NegativeWidth", {{250}}, "/newsize=-40", StartOutcome::OutOfRange,
             {"The width \"/newsize=-40\" is out of range: it must lie between 1 and 32767."}, 250, ""},
        StartUpCase{"WidthOutOfRange", {{250}}, "/AUTO /newsize=40000", StartOutcome::OutOfRange,
             {"The width \"/newsize=40000\" is out of range: it must lie between 1 and 32767."},
             250, ""},
        StartUpCase{"WaitOutOfRange", {{250}}, "/AUTO /wait=3601", StartOutcome::OutOfRange,
             {"The wait \"/wait=3601\" is out of range: it must lie between 0 and 3600 seconds."},
             250, ""},
        StartUpCase{"Help", {{250}}, "/AUTO /?", StartOutcome::HelpShown, {"kestrum.exe [/AUTO] [/newsize=WIDTH] [/wait=SECONDS] [/quiet] [/watch] [/settle=MS] [/stop] "
                                                                      "[/apply] [/pause] [/resume] [/forget] [/log=FILE] "
                                                                      "[/run=\"PROGRAM [ARGUMENTS]\"] [/?]\n\n/AUTO\tsets the width\xE2\x80\xA6"}, 250, ""},
        // Quiet: every ending its status alone; where the window would show,
        // nothing changes.
        StartUpCase{"QuietNoClient", {}, "/AUTO /quiet", StartOutcome::NoClientFound, kNone, -1, "300"},
        StartUpCase{"QuietApplied", {{250}}, "/AUTO /QUIET", StartOutcome::AutoApplied, kNone, 300, "300"},
        StartUpCase{"QuietTwoClients", {{250}, {250}}, "/AUTO /quiet", StartOutcome::NothingChanged, kNone, 250, "300"},
        StartUpCase{"QuietTwoPanes", {{250, 200}}, "/AUTO /quiet", StartOutcome::NothingChanged, kNone, 250, "300"},
        StartUpCase{"QuietNoPane", {{}}, "/AUTO /quiet", StartOutcome::NothingChanged, kNone, -1, "300"},
        StartUpCase{"QuietOutOfRange", {{250}}, "/AUTO /quiet /newsize=40000", StartOutcome::OutOfRange, kNone, 250, ""},
        StartUpCase{"QuietHelp", {{250}}, "/AUTO /quiet /help", StartOutcome::HelpShown, kNone, 250, ""},
        StartUpCase{"QuietWithoutAuto", {{250}}, "/quiet", StartOutcome::Shown, kNone, 250, "300"},
        StartUpCase{"QuietWithoutAutoNoClient", {}, "/quiet", StartOutcome::NoClientFound, kNoClient, -1, "300"},
        // No one to see a box or a window: every run quiet, and the window
        // not shown.
        StartUpCase{"UnseenWindow", {{250}}, "", StartOutcome::NothingChanged, kNone, 250, "300", false},
        StartUpCase{"UnseenNoClient", {}, "", StartOutcome::NoClientFound, kNone, -1, "300", false},
        StartUpCase{"UnseenAuto", {{250}}, "/AUTO", StartOutcome::AutoApplied, kNone, 300, "300", false},
        StartUpCase{"UnseenTwoClientsAuto", {{250}, {250}}, "/AUTO", StartOutcome::NothingChanged, kNone, 250, "300", false}),
    [](const auto& info) { return std::string(info.param.name); });

// "/wait=": the clients are listed again every quarter of a second, the
// clock paused in between, until the run can go on (unattended: one client
// with one pane; otherwise any client) or the time is up; then start-up
// decides on the last listing.
struct WaitCase {
    const char* name;
    const char* arguments;
    bool clientAtStart;     // a client with one pane
    int clientAtMs;         // -1: none comes; a client with one pane
    int secondClientAtMs;   // -1: none; 0: there from the start
    StartOutcome outcome;
    int endMs;
};

void PrintTo(const WaitCase& r, std::ostream* os) { *os << r.name; }

class WaitTest : public Form1Test, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WaitTest, ListsAgainUntilTheClientsAreThereOrTheTimeIsUp) {
    const WaitCase& road = GetParam();
    if (road.clientAtStart) AddClient(desktop, "First");
    if (road.clientAtMs >= 0) {
        clock.At(std::chrono::milliseconds(road.clientAtMs), [this] { AddClient(desktop, "Late"); });
    }
    if (road.secondClientAtMs == 0) AddClient(desktop, "Second");
    if (road.secondClientAtMs > 0) {
        clock.At(std::chrono::milliseconds(road.secondClientAtMs), [this] { AddClient(desktop, "Second"); });
    }
    desktop.ResetCalls();

    EXPECT_EQ(Load(road.arguments), road.outcome);

    EXPECT_EQ(endedAt, std::chrono::milliseconds(road.endMs));
    // One listing at the start and one every quarter of a second after it.
    EXPECT_EQ(desktop.Calls(Operation::EnumerateTopLevelWindows),
              static_cast<std::uint64_t>(1 + (road.endMs + 249) / 250));
    EXPECT_TRUE(messages.Texts().empty() || road.outcome == StartOutcome::NoClientFound);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, WaitTest,
    ::testing::Values(
        WaitCase{"ClientStartsLate", "/AUTO /wait=10", false, 1200, -1, StartOutcome::AutoApplied, 1250},
        WaitCase{"ClientStartsLateWithoutAuto", "/wait=10", false, 1200, -1, StartOutcome::Shown, 1250},
        WaitCase{"ClientThereAtOnce", "/AUTO /wait=10", true, -1, -1, StartOutcome::AutoApplied, 0},
        WaitCase{"NoClientInTime", "/AUTO /wait=2", false, -1, -1, StartOutcome::NoClientFound, 2000},
        WaitCase{"ClientTooLate", "/wait=1", false, 1100, -1, StartOutcome::NoClientFound, 1000},
        // Unattended, two clients are no reason to stop waiting: the window
        // would come of it. The time up, the window comes all the same.
        WaitCase{"TwoClientsUntilTheEnd", "/AUTO /wait=1", true, -1, 0, StartOutcome::Shown, 1000},
        WaitCase{"NoWait", "/AUTO /wait=0", false, 100, -1, StartOutcome::NoClientFound, 0},
        WaitCase{"UnreadableWait", "/AUTO /wait=soon", false, 100, -1, StartOutcome::NoClientFound, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, WaitingUnattendedTakesOnlyAClientWithExactlyOnePane) {
    const auto client = AddClient(desktop, "Client", {});
    clock.At(std::chrono::milliseconds(600), [&] {
        desktop.AddChild(client.main, {std::string(kPaneClass), "", {10, 20, 260, 170}, {}});
    });
    EXPECT_EQ(Load("/AUTO /wait=5 /newsize=180"), StartOutcome::AutoApplied);
    EXPECT_EQ(endedAt, std::chrono::milliseconds(750));
    EXPECT_EQ(Handles(2).size(), 1u);
    EXPECT_EQ(desktop.RectInParent(Handles(2)[0]), (Rect{10, 20, 190, 170}));
}

TEST_F(Form1Test, AValueOutOfRangeOrTheUsageStopsBeforeAnyWindowIsSearched) {
    AddClient(desktop, "Client");
    for (const char* arguments : {"/newsize=99999", "/wait=-1", "/settle=10001", "/AUTO /wait=5 /?", "/HELP"}) {
        Load(arguments);
        EXPECT_EQ(desktop.TotalCalls(), 0u) << arguments;
        EXPECT_EQ(clock.started, 0) << arguments;
    }
}

// A value echoed in a message is cut short, and shows no control character.
TEST_F(Form1Test, AnEchoedValueIsShortAndPlain) {
    Load("/newsize=" + std::string(32000, '9') + "\x1B");
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "The width \"/newsize=" + std::string(40, '9') +
                                       "\xE2\x80\xA6\" is out of range: it must lie between 1 and 32767.");
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

    const StartOutcome outcome = Load("/AUTO /newsize=180");

    EXPECT_EQ(outcome, StartOutcome::PaneGone);
    EXPECT_EQ(ExitStatusFor(outcome), kExitPaneGone);
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
    ASSERT_EQ(Load(""), StartOutcome::Shown);
    List(0).SetSelectedIndex(1);
    EXPECT_EQ(List(2).ItemData(0), second.panes[0]);

    form.Text1 = "180";
    bool cancel = false;
    form.Text1_Validate(cancel);  // focus leaves the field for the button
    Press();

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
    ASSERT_EQ(Load(""), StartOutcome::Shown);
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
