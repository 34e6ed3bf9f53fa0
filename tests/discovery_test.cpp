// Finding clients and panes on the in-memory desktop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/desktop_fixture.h"

namespace kestrum {
namespace {

using testing::AddClient;
using testing::AddForeign;

using testing::Entry;
using DiscoveryTest = testing::FormOnDesktopTest;

TEST_F(DiscoveryTest, ListsEveryClientInEnumerationOrderWithItsHandle) {
    AddForeign(desktop, "Shell_TrayWnd");
    const auto first = AddClient(desktop, "Orders");
    AddForeign(desktop, "Notepad");
    const auto second = AddClient(desktop, "");
    FindClients();
    EXPECT_EQ(Texts(0), (std::vector<std::string>{Entry(first.main, "C/SIDE Application", "Orders"),
                                                  Entry(second.main, "C/SIDE Application", "")}));
    EXPECT_EQ(Handles(0), (std::vector<WindowHandle>{first.main, second.main}));
    EXPECT_TRUE(Texts(0)[1].ends_with(" # ")) << "an empty title leaves the separator's blank";
    EXPECT_EQ(List(2).ListCount(), 0) << "panes are found only when a client is selected";
}

// As Windows compares class names: the whole name, ASCII letters in any case.
TEST_F(DiscoveryTest, MatchesTheClassAsWindowsDoes) {
    for (const char* near : {"C/SIDE Application ", " C/SIDE Application", "C/SIDE Applicatio",
                             "C/SIDE NavPane", "C/S\xC3\x8D" "DE Application"}) {
        AddForeign(desktop, near);
    }
    const WindowHandle lower = AddForeign(desktop, "c/side application", "lower");
    const WindowHandle mixed = AddForeign(desktop, "C/Side Application", "mixed");
    FindClients();
    ASSERT_EQ(Handles(0), (std::vector<WindowHandle>{lower, mixed}));
    EXPECT_EQ(Texts(0)[1], Entry(mixed, "C/Side Application", "mixed")) << "listed as the window names it";
}

TEST_F(DiscoveryTest, ShowsAHandleWithTheTopBitSetAsNegative) {
    desktop.AddTopLevel({"C/SIDE Application", "X", {}, {}, true, static_cast<WindowHandle>(0x80001234u)});
    FindClients();
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"-2147478988 # C/SIDE Application # X"}));
    EXPECT_EQ(Handles(0), (std::vector<WindowHandle>{-2147478988}));
}

struct TitleCase {
    const char* name;
    std::string title;
    std::int32_t reportedLength;  // -2: the true length
    std::string listed;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.name; }

class TitleTest : public DiscoveryTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(TitleTest, IsWhatTheTextCallCopied) {
    const TitleCase& c = GetParam();
    const auto client = AddClient(desktop, c.title, {});
    if (c.reportedLength != -2) desktop.OverrideTextLength(client.main, c.reportedLength);
    FindClients();
    ASSERT_EQ(List(0).ListCount(), 1);
    EXPECT_EQ(List(0).ItemText(0), Entry(client.main, "C/SIDE Application", c.listed));
}

const std::string kLong(70000, 'L');

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleTest,
    ::testing::Values(
        TitleCase{"Empty", "", -2, ""}, TitleCase{"Long", kLong, -2, kLong},
        TitleCase{"NonAscii", "B\xC3\xBCro \xE2\x82\xAC", -2, "B\xC3\xBCro \xE2\x82\xAC"},
        // A length that understates: what the text call copied is listed.
        TitleCase{"Understated", "Orders", 3, "Ord"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiscoveryTest, FindsNestedAndRepeatedPanesOfTheSelectedClientOnly) {
    const auto other = AddClient(desktop, "Other", {100});
    const auto client = AddClient(desktop, "Mine", {});
    const WindowHandle frame = desktop.AddChild(client.main, {"Frame"});
    const WindowHandle deep = desktop.AddChild(desktop.AddChild(frame, {"Inner"}), {"C/SIDE NavPane", "deep"});
    const WindowHandle shallow = desktop.AddChild(client.main, {"C/SIDE NavPane", "shallow"});
    desktop.AddChild(client.main, {"C/SIDE NavPane ", "near miss"});
    FindClients();

    List(0).SetSelectedIndex(1);
    EXPECT_EQ(Handles(2), (std::vector<WindowHandle>{deep, shallow}));
    EXPECT_EQ(Texts(2)[0], Entry(deep, "C/SIDE NavPane", "deep"));

    List(0).SetSelectedIndex(0);
    EXPECT_EQ(Handles(2), (std::vector<WindowHandle>{other.panes[0]}));
}

TEST_F(DiscoveryTest, SelectionChangeEmptiesThePaneListsBeforeRefilling) {
    AddClient(desktop, "No panes", {});
    const auto client = AddClient(desktop, "Two panes", {100, 200});
    FindClients();
    List(1).AddItem("stale");
    List(0).SetSelectedIndex(1);
    EXPECT_EQ(Handles(2), client.panes);
    List(0).SetSelectedIndex(1);
    EXPECT_EQ(Handles(2), client.panes) << "selecting again must not append twice";
    List(0).SetSelectedIndex(0);
    EXPECT_EQ(List(2).ListCount(), 0);
    EXPECT_EQ(List(1).ListCount(), 0);
}

TEST_F(DiscoveryTest, AClientClosedAfterStartUpGivesNoPanes) {
    const auto client = AddClient(desktop, "Gone", {100});
    FindClients();
    desktop.Destroy(client.main);
    List(0).SetSelectedIndex(0);
    EXPECT_EQ(List(2).ListCount(), 0);
    EXPECT_EQ(List(0).ListCount(), 1) << "the client list is never refreshed";
}

TEST_F(DiscoveryTest, OnlyTheVisibleListDrivesDiscovery) {
    const auto client = AddClient(desktop, "C", {100});
    FindClients();
    List(0).SetSelectedIndex(0);
    form.List1_Click(2);
    form.List1_Click(1);
    EXPECT_EQ(Handles(2), client.panes);
}

TEST_F(DiscoveryTest, AFullListDropsFurtherWindowsWithoutMixingUpHandles) {
    const auto client = AddClient(desktop, "Crowded", {});
    for (int i = 0; i < kMaxListEntries + 3; ++i) desktop.AddChild(client.main, {"C/SIDE NavPane"});
    FindClients();
    List(0).SetSelectedIndex(0);
    ASSERT_EQ(List(2).ListCount(), kMaxListEntries);
    const ListIndex last = kMaxListEntries - 1;
    EXPECT_EQ(Texts(2)[static_cast<std::size_t>(last)],
              Entry(List(2).ItemData(last), "C/SIDE NavPane", ""));
}

TEST_F(DiscoveryTest, ReadsOnlyTheClassOfAForeignWindow) {
    for (int i = 0; i < 10000; ++i) AddForeign(desktop, "Foreign" + std::to_string(i % 7));
    AddClient(desktop, "A");
    AddClient(desktop, "B");
    desktop.ResetCalls();
    FindClients();
    // One enumeration, one class read per window, and the text of each of
    // the two matches.
    EXPECT_EQ(desktop.Calls(Operation::ClassName), 10002u);
    EXPECT_EQ(desktop.TotalCalls(), 1u + 10002u + 2u);
}

}  // namespace
}  // namespace kestrum
