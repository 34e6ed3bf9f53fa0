// Faults injected through the in-memory desktop: windows that vanish in the
// middle of an enumeration or of the reset, text calls that lie, and a
// crowded desktop. Nothing may crash, nothing may move that should not, and
// every outcome is the one the program is built to give.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/desktop_fixture.h"

namespace kestrum {
namespace {

const std::string kClient(kClientClass);
const std::string kPane(kPaneClass);

class FaultTest : public testing::FormOnDesktopTest {
protected:
    WindowHandle Top(const std::string& cls, const std::string& title = "") {
        return Keep(desktop.AddTopLevel({cls, title, {100, 100, 900, 700}, testing::kFrame}));
    }
    WindowHandle Child(WindowHandle parent, const std::string& cls, const std::string& title = "",
                       Rect rect = {10, 20, 260, 170}) {
        return Keep(desktop.AddChild(parent, {cls, title, rect}));
    }
    WindowHandle Keep(WindowHandle h) {
        made.push_back(h);
        return h;
    }
    // Every window's rectangle, to see that nothing else moved.
    std::map<WindowHandle, Rect> Rects() const {
        std::map<WindowHandle, Rect> rects;
        for (const WindowHandle h : made) {
            if (desktop.Exists(h)) rects[h] = desktop.RectInParent(h);
        }
        return rects;
    }
    std::vector<std::string> Titles(int list) {
        std::vector<std::string> titles;
        for (const std::string& text : testing::ListTexts(List(list))) {
            titles.push_back(text.substr(text.find(" # ", text.find(" # ") + 3) + 3));
        }
        return titles;
    }
    // Each entry's text must name the handle kept as its item value.
    void ExpectEntriesMatchTheirHandles(int list) {
        for (ListIndex i = 0; i < List(list).ListCount(); ++i) {
            EXPECT_TRUE(List(list).ItemText(i).starts_with(
                std::to_string(List(list).ItemData(i)) + " # "));
        }
    }

    std::vector<WindowHandle> made;
};

// --- Windows that vanish while they are being enumerated -------------------

// Names stand for windows of the layouts below; "" is the top level.
struct VanishCase {
    const char* name;
    Operation operation;
    const char* onWindow;
    const char* victim;
    std::vector<std::string> listed;
    std::vector<std::string> titles;
};

void PrintTo(const VanishCase& c, std::ostream* os) { *os << c.name; }

class VanishDuringEnumeration : public FaultTest, public ::testing::WithParamInterface<VanishCase> {
protected:
    std::map<std::string, WindowHandle> named{{"", 0}};
    std::vector<std::string> NamesOf(const std::vector<WindowHandle>& handles) {
        std::vector<std::string> names;
        for (const WindowHandle h : handles) {
            for (const auto& [name, handle] : named) {
                if (handle == h) names.push_back(name);
            }
        }
        return names;
    }
    void Inject(const VanishCase& c) {
        desktop.DestroyOnCall(c.operation, named.at(c.onWindow), named.at(c.victim));
    }
};

using VanishAtTopLevel = VanishDuringEnumeration;

TEST_P(VanishAtTopLevel, ListsTheClientsStillThere) {
    const VanishCase& c = GetParam();
    named["F1"] = Top("Foreign");
    named["C1"] = Top(kClient, "one");
    named["F2"] = Top("Foreign");
    named["C2"] = Top(kClient, "two");
    named["C3"] = Top(kClient, "three");
    Inject(c);
    FindClients();
    EXPECT_EQ(NamesOf(Handles(0)), c.listed);
    EXPECT_EQ(Titles(0), c.titles);
    ExpectEntriesMatchTheirHandles(0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VanishAtTopLevel,
    ::testing::Values(
        VanishCase{"BeforeTheEnumeration", Operation::EnumerateTopLevelWindows, "", "C1",
                   {"C2", "C3"}, {"two", "three"}},
        VanishCase{"ALaterClientWhileAForeignOneIsRead", Operation::ClassName, "F2", "C3",
                   {"C1", "C2"}, {"one", "two"}},
        VanishCase{"AnEarlierOneWhileTheLastIsRead", Operation::ClassName, "C3", "C1",
                   {"C1", "C2", "C3"}, {"one", "two", "three"}},
        VanishCase{"ItselfWhileItsClassIsRead", Operation::ClassName, "C2", "C2",
                   {"C1", "C3"}, {"one", "three"}},
        VanishCase{"ItselfWhileItsTextIsRead", Operation::WindowText, "C2", "C2",
                   {"C1", "C2", "C3"}, {"one", "", "three"}}),
    [](const auto& info) { return std::string(info.param.name); });

using VanishAmongDescendants = VanishDuringEnumeration;

TEST_P(VanishAmongDescendants, ListsThePanesStillThere) {
    const VanishCase& c = GetParam();
    // Depth-first order: Frame, Inner, A, B, C.
    named["Main"] = Top(kClient, "main");
    named["Frame"] = Child(named["Main"], "Frame");
    named["Inner"] = Child(named["Frame"], "Inner");
    named["A"] = Child(named["Inner"], kPane, "a");
    named["B"] = Child(named["Main"], kPane, "b");
    named["C"] = Child(named["Main"], kPane, "c");
    FindClients();
    Inject(c);
    List(0).SetSelectedIndex(0);
    EXPECT_EQ(NamesOf(Handles(2)), c.listed);
    EXPECT_EQ(Titles(2), c.titles);
    ExpectEntriesMatchTheirHandles(2);

    // The reset acts on the first pane still listed, or reports that none is.
    const auto before = Rects();
    form.Command2_Click();
    const auto after = Rects();
    for (const auto& [h, rect] : before) {
        const bool resized = !c.listed.empty() && h == named.at(c.listed[0]);
        EXPECT_EQ(after.at(h).right - after.at(h).left, resized ? kDefaultWidth : rect.right - rect.left);
        EXPECT_EQ(after.at(h).left, rect.left);
    }
    EXPECT_EQ(messages.Texts().size(), c.listed.empty() ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VanishAmongDescendants,
    ::testing::Values(
        VanishCase{"TheClientBeforeTheEnumeration", Operation::EnumerateDescendants, "Main", "Main",
                   {}, {}},
        VanishCase{"ALaterPaneWhileAnEarlierIsRead", Operation::ClassName, "A", "C",
                   {"A", "B"}, {"a", "b"}},
        // The frame's children were taken before it was reported; gone by
        // their turn, they are skipped.
        VanishCase{"AFrameWhileItIsRead", Operation::ClassName, "Frame", "Frame",
                   {"B", "C"}, {"b", "c"}},
        VanishCase{"TheClientWhileAPaneIsRead", Operation::ClassName, "A", "Main", {}, {}},
        VanishCase{"APaneWhileItsTextIsRead", Operation::WindowText, "B", "B",
                   {"A", "B", "C"}, {"a", "", "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Text calls that lie -----------------------------------------------------

struct LengthCase {
    const char* name;
    std::int32_t reportedLength;
    std::size_t listedLength;  // of a 64 KiB title
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class LyingLength : public FaultTest, public ::testing::WithParamInterface<LengthCase> {};

const std::string k64KiB = [] {
    std::string s(64 * 1024, 'x');
    for (std::size_t i = 0; i < s.size(); i += 97) s[i] = static_cast<char>('A' + i % 26);
    return s;
}();

TEST_P(LyingLength, ReadsWhatFitsIntoABufferItCanAfford) {
    const LengthCase& c = GetParam();
    const WindowHandle main = Top(kClient, k64KiB);
    const WindowHandle pane = Child(main, kPane, k64KiB);
    desktop.OverrideTextLength(main, c.reportedLength);
    desktop.OverrideTextLength(pane, c.reportedLength);
    FindClients();
    List(0).SetSelectedIndex(0);
    const std::string expected = k64KiB.substr(0, c.listedLength);
    EXPECT_EQ(Titles(0), (std::vector<std::string>{expected}));
    EXPECT_EQ(Titles(2), (std::vector<std::string>{expected}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LyingLength,
    ::testing::Values(LengthCase{"True", 64 * 1024, 64 * 1024},
                      LengthCase{"Fails", 0, 0},
                      LengthCase{"OneShort", 64 * 1024 - 1, 64 * 1024 - 1},
                      LengthCase{"Overstated", 1'000'000, 64 * 1024},
                      // Beyond what any title needs: the 256-character buffer.
                      LengthCase{"SixteenMiB", 16 * 1024 * 1024, 255},
                      LengthCase{"Largest", INT32_MAX, 255},
                      LengthCase{"MinusOne", -1, 255},
                      LengthCase{"Smallest", INT32_MIN, 255}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaultTest, AClassNameLongerThanItsBufferIsCutAndMatchesNothing) {
    const std::string padded = std::string(kClient) + std::string(1000, ' ');
    Top(padded, "long class");
    Top(std::string(300, 'C'), "no class");
    FindClients();
    EXPECT_EQ(List(0).ListCount(), 0);
}

// --- A window that cannot be listed ---------------------------------------------

// Memory runs out while one window is read for its entry: that window is left
// out, the enumeration goes on over the others, and every entry keeps its own
// handle. At start-up and after a selection change alike.
TEST_F(FaultTest, AWindowThatCannotBeListedIsLeftOutAndTheRestAreListed) {
    const WindowHandle one = Top(kClient, "one");
    desktop.FailTextRead(Top(kClient, "two"));
    const WindowHandle three = Top(kClient, "three");
    const WindowHandle a = Child(one, kPane, "a");
    desktop.FailTextRead(Child(one, kPane, "b"));
    const WindowHandle c = Child(one, kPane, "c");

    EXPECT_EQ(Load(""), StartOutcome::Shown);

    EXPECT_EQ(Handles(0), (std::vector<WindowHandle>{one, three}));
    EXPECT_EQ(Titles(0), (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(Handles(2), (std::vector<WindowHandle>{a, c}));
    EXPECT_EQ(Titles(2), (std::vector<std::string>{"a", "c"}));
    List(0).SetSelectedIndex(1);
    List(0).SetSelectedIndex(0);
    EXPECT_EQ(Handles(2), (std::vector<WindowHandle>{a, c}));
    ExpectEntriesMatchTheirHandles(0);
    ExpectEntriesMatchTheirHandles(2);
}

// --- A pane that goes away between the refresh and the button -----------------

struct ResetFault {
    const char* name;
    Operation operation;  // the call during which `victim` vanishes
    const char* victim;   // "Pane", "Frame" or "Main"
    std::vector<std::string> messages;
    ResetOutcome outcome;
    bool secondResized;   // the pane list built again, the client's other pane is reset
};

void PrintTo(const ResetFault& c, std::ostream* os) { *os << c.name; }

class ResetAfterRefresh : public FaultTest, public ::testing::WithParamInterface<ResetFault> {};

// The first pane goes, or what holds it: the pane list is built again, and
// the client's other pane (if it is still there) is the one reset.
TEST_P(ResetAfterRefresh, ResetsWhatIsLeftOrReportsThatNothingIs) {
    const ResetFault& c = GetParam();
    const WindowHandle main = Top(kClient, "main");
    const WindowHandle frame = Child(main, "Frame", "", {5, 5, 505, 505});
    const WindowHandle pane = Child(frame, kPane);
    const WindowHandle second = Child(main, kPane);
    const std::map<std::string, WindowHandle> named{{"Pane", pane}, {"Frame", frame}, {"Main", main}};
    FindClients();
    List(0).SetSelectedIndex(0);
    ASSERT_EQ(Handles(2), (std::vector<WindowHandle>{pane, second}));
    const auto before = Rects();

    desktop.DestroyOnCall(c.operation, c.operation == Operation::MapRectToClient ? frame : pane,
                          named.at(c.victim));
    EXPECT_EQ(Press(), c.outcome);

    for (const auto& [h, rect] : Rects()) {
        Rect expected = before.at(h);
        if (h == second && c.secondResized) expected.right = expected.left + kDefaultWidth;
        EXPECT_EQ(rect, expected) << "window " << h;
    }
    EXPECT_FALSE(desktop.Exists(pane));
    EXPECT_EQ(messages.Texts(), c.messages);
}

const std::vector<std::string> kNotFound{"NavPane was not found"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ResetAfterRefresh,
    ::testing::Values(
        ResetFault{"PaneBeforeTheRectangle", Operation::ReadWindowRect, "Pane", {}, ResetOutcome::Moved, true},
        ResetFault{"FrameBeforeTheRectangle", Operation::ReadWindowRect, "Frame", {}, ResetOutcome::Moved,
                   true},
        ResetFault{"ClientBeforeTheRectangle", Operation::ReadWindowRect, "Main", kNotFound,
                   ResetOutcome::PaneGone, false},
        ResetFault{"FrameWhileMapping", Operation::MapRectToClient, "Frame", {}, ResetOutcome::Moved, true},
        // Gone after the rectangle was read: the move finds no window.
        ResetFault{"PaneBeforeItsParentIsAsked", Operation::ParentOf, "Pane", {}, ResetOutcome::Moved, true},
        ResetFault{"PaneDuringTheMove", Operation::MoveWindow, "Pane", {}, ResetOutcome::Moved, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaultTest, AnUnreadableRectangleOfAPaneOnItsOwnIsReportedEachTime) {
    const WindowHandle main = Top(kClient, "main");
    const WindowHandle pane = Child(main, kPane);
    FindClients();
    List(0).SetSelectedIndex(0);
    desktop.FailRectRead(pane);
    const auto before = Rects();
    form.Command2_Click();
    form.Command2_Click();
    EXPECT_EQ(Rects(), before);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kNotFound[0], kNotFound[0]}));
}

// --- Coordinates far out ---------------------------------------------------------

// A layout whose screen coordinates leave the 32-bit range: the desktop pins
// them to its ends instead of overflowing (which wrapped them to the other
// side before).
TEST_F(FaultTest, FarOutCoordinatesArePinnedNotWrapped) {
    constexpr std::int32_t kFar = 2'000'000'000;
    const WindowHandle main = desktop.AddTopLevel({kClient, "", {kFar, -kFar, kFar + 100, -kFar + 100}});
    const WindowHandle pane = desktop.AddChild(main, {kPane, "", {kFar, -kFar, kFar + 50, -kFar + 50}});
    Rect rect;
    ASSERT_TRUE(desktop.ReadWindowRect(pane, rect));
    EXPECT_EQ(rect, (Rect{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN}));
    Rect far{-kFar, kFar, -kFar, kFar};
    ASSERT_TRUE(desktop.MapRectToClient(main, far));
    EXPECT_EQ(far, (Rect{INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}));
}

// --- A crowded desktop --------------------------------------------------------

// 10,000 top-level windows with 100,000 descendants: every one of them has
// ten, some nested, and among the foreign ones some carry a window of the
// pane's class too. One top-level window, in the middle, is the client.
TEST_F(FaultTest, TenThousandWindowsWithAHundredThousandDescendants) {
    constexpr int kTopLevel = 10'000;
    constexpr int kPerWindow = 10;
    WindowHandle client = 0;
    WindowHandle pane = 0;
    for (int i = 0; i < kTopLevel; ++i) {
        const bool isClient = i == kTopLevel / 2;
        const WindowHandle top =
            desktop.AddTopLevel({isClient ? kClient : "Foreign" + std::to_string(i % 13), "w"});
        WindowHandle parent = top;
        for (int k = 0; k < kPerWindow; ++k) {
            // Children 0..4 each inside the one before; 5..9 side by side.
            const bool paneHere = k == 4 && (isClient || i % 10 == 0);
            const WindowHandle h = desktop.AddChild(
                k < 5 ? parent : top, {paneHere ? kPane : "Part", "", {1, 2, 251, 402}, {1, 1}});
            if (k < 5) parent = h;
            if (paneHere && isClient) pane = h;
        }
        if (isClient) client = top;
    }
    const Rect before = desktop.ScreenRect(pane);

    EXPECT_EQ(Load("/AUTO /newsize=180"), StartOutcome::AutoApplied);

    EXPECT_EQ(Handles(0), (std::vector<WindowHandle>{client}));
    EXPECT_EQ(Handles(2), (std::vector<WindowHandle>{pane}));
    const Rect after = desktop.ScreenRect(pane);
    EXPECT_EQ(after, (Rect{before.left, before.top, before.left + 180, before.bottom}));
    EXPECT_EQ(desktop.Calls(Operation::MoveWindow), 1u) << "no other window may move";
    // One class read per window looked at, and the title calls for the two
    // that matched: discovery costs one call per foreign window.
    EXPECT_EQ(desktop.Calls(Operation::ClassName), std::uint64_t{kTopLevel + kPerWindow});
    EXPECT_EQ(desktop.Calls(Operation::WindowText), 2u);
    EXPECT_TRUE(messages.Texts().empty());
}

// A client whose pane lies 100,000 windows deep: neither the enumeration nor
// the reset may run out of stack, and the pane keeps its place.
TEST_F(FaultTest, APaneAHundredThousandWindowsDeep) {
    const WindowHandle client = desktop.AddTopLevel({kClient, "deep", {0, 0, 800, 600}, {4, 23}});
    WindowHandle parent = client;
    for (int depth = 0; depth < 100'000; ++depth) {
        parent = desktop.AddChild(parent, {"Part", "", {0, 0, 800, 600}, {0, 0}});
    }
    const WindowHandle pane = desktop.AddChild(parent, {kPane, "", {7, 9, 207, 309}});
    const Rect before = desktop.ScreenRect(pane);

    EXPECT_EQ(Load("/AUTO /newsize=120"), StartOutcome::AutoApplied);

    EXPECT_EQ(Handles(2), (std::vector<WindowHandle>{pane}));
    EXPECT_EQ(desktop.ScreenRect(pane), (Rect{before.left, before.top, before.left + 120, before.bottom}));
    desktop.Destroy(client);
    EXPECT_FALSE(desktop.Exists(pane));
}

}  // namespace
}  // namespace kestrum
