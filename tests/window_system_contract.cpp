// The window-system contract's cases. Every expectation here holds for user32
// (measured under Wine) and must hold for the in-memory desktop alike.
#include "window_system_contract.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kestrum::contract {
namespace {

// Records what an enumeration reported, keeping only the windows the case
// made (a real desktop has others), and can stop or fail at a window.
struct Recorder {
    std::set<WindowHandle> ours;
    std::vector<WindowHandle> seen;
    WindowHandle stopAt = 0;
    WindowHandle failAt = 0;
    std::function<void(WindowHandle)> during;

    WindowVisitor Visit() {
        return [this](WindowHandle h) {
            if (!ours.contains(h)) return true;
            seen.push_back(h);
            if (during) during(h);
            if (h == failAt) throw std::runtime_error("out of memory");
            return h != stopAt;
        };
    }
};

// A small tree: root holding a (a1 (a11 (a111)), a2 (a21)) and b.
struct Tree {
    WindowHandle root, a, a1, a11, a111, a2, a21, b;
    std::set<WindowHandle> All() const { return {root, a, a1, a11, a111, a2, a21, b}; }
};

Tree MakeTree(ContractDesktop& d) {
    Tree t{};
    t.root = d.AddTopLevel({"KestrumContractRoot", "root", {100, 100, 700, 500}});
    t.a = d.AddChild(t.root, {"KestrumContractPart", "a", {0, 0, 300, 300}});
    t.a1 = d.AddChild(t.a, {"KestrumContractPart", "a1", {0, 0, 200, 200}});
    t.a11 = d.AddChild(t.a1, {"KestrumContractPart", "a11", {0, 0, 100, 100}});
    t.a111 = d.AddChild(t.a11, {"KestrumContractPart", "a111", {0, 0, 50, 50}});
    t.a2 = d.AddChild(t.a, {"KestrumContractPart", "a2", {0, 0, 200, 200}});
    t.a21 = d.AddChild(t.a2, {"KestrumContractPart", "a21", {0, 0, 100, 100}});
    t.b = d.AddChild(t.root, {"KestrumContractPart", "b", {0, 0, 300, 300}});
    return t;
}

// --- Enumeration -------------------------------------------------------------

void TopLevelWindowsInZOrder(ContractDesktop& d) {
    const WindowHandle first = d.AddTopLevel({"KestrumContractTop", "first", {0, 0, 50, 50}});
    const WindowHandle second = d.AddTopLevel({"KestrumContractTop", "second", {0, 0, 50, 50}});
    const WindowHandle child = d.AddChild(first, {"KestrumContractPart", "", {0, 0, 10, 10}});
    const WindowHandle third = d.AddTopLevel({"KestrumContractTop", "third", {0, 0, 50, 50}});
    Recorder r{{first, second, third, child}};
    EXPECT_TRUE(d.System().EnumerateTopLevelWindows(r.Visit()));
    EXPECT_EQ(r.seen, (std::vector<WindowHandle>{first, second, third})) << "children are not top-level";
}

void DescendantsDepthFirstAtAnyDepth(ContractDesktop& d) {
    const Tree t = MakeTree(d);
    Recorder r{t.All()};
    EXPECT_TRUE(d.System().EnumerateDescendants(t.root, r.Visit()));
    EXPECT_EQ(r.seen, (std::vector<WindowHandle>{t.a, t.a1, t.a11, t.a111, t.a2, t.a21, t.b}))
        << "each window before its children, its children before its next sibling";

    Recorder leaf{t.All()};
    EXPECT_TRUE(d.System().EnumerateDescendants(t.b, leaf.Visit())) << "nothing stopped it";
    EXPECT_TRUE(leaf.seen.empty());
}

void ACallbackReturningZeroStopsTheEnumeration(ContractDesktop& d) {
    const Tree t = MakeTree(d);
    Recorder inner{t.All()};
    inner.stopAt = t.a1;
    EXPECT_FALSE(d.System().EnumerateDescendants(t.root, inner.Visit()));
    EXPECT_EQ(inner.seen, (std::vector<WindowHandle>{t.a, t.a1}));

    const WindowHandle next = d.AddTopLevel({"KestrumContractTop", "next", {0, 0, 50, 50}});
    Recorder top{{t.root, next}};
    top.stopAt = t.root;
    EXPECT_FALSE(d.System().EnumerateTopLevelWindows(top.Visit()));
    EXPECT_EQ(top.seen, (std::vector<WindowHandle>{t.root}));
}

// A failure inside the callback stops the enumeration and reaches the caller
// once the window manager has returned.
void AFailingCallbackStopsTheEnumerationAndTheFailureGoesOn(ContractDesktop& d) {
    const Tree t = MakeTree(d);
    Recorder inner{t.All()};
    inner.failAt = t.a11;
    EXPECT_THROW(d.System().EnumerateDescendants(t.root, inner.Visit()), std::runtime_error);
    EXPECT_EQ(inner.seen, (std::vector<WindowHandle>{t.a, t.a1, t.a11}));

    const WindowHandle next = d.AddTopLevel({"KestrumContractTop", "next", {0, 0, 50, 50}});
    Recorder top{{t.root, next}};
    top.failAt = t.root;
    EXPECT_THROW(d.System().EnumerateTopLevelWindows(top.Visit()), std::runtime_error);
    EXPECT_EQ(top.seen, (std::vector<WindowHandle>{t.root}));
}

// No parent, or one that is gone: nothing is reported (handle 0 must not
// mean the top-level windows), and nothing was stopped.
void DescendantsOfNoWindowAreNone(ContractDesktop& d) {
    const Tree t = MakeTree(d);
    d.Destroy(t.a);
    int calls = 0;
    const WindowVisitor count = [&](WindowHandle) { return ++calls, true; };
    for (const WindowHandle parent : {WindowHandle{0}, t.a, t.a1}) {
        EXPECT_TRUE(d.System().EnumerateDescendants(parent, count)) << parent;
    }
    EXPECT_EQ(calls, 0);
}

// Windows report what they were when the enumeration came to them: the
// children of each window are taken before it is reported, and any window
// gone by its turn is skipped.
void WindowsGoneDuringAnEnumerationAreSkipped(ContractDesktop& d) {
    struct Step {
        const char* what;
        WindowHandle Tree::*at;
        WindowHandle Tree::*victim;
        std::vector<WindowHandle Tree::*> seen;
    };
    using T = Tree;
    const Step steps[] = {
        {"a later sibling", &T::a, &T::b, {&T::a, &T::a1, &T::a11, &T::a111, &T::a2, &T::a21}},
        {"the window itself", &T::a, &T::a, {&T::a, &T::b}},
        {"a child of the window", &T::a, &T::a1, {&T::a, &T::a2, &T::a21, &T::b}},
        {"an earlier window", &T::a2, &T::a1,
         {&T::a, &T::a1, &T::a11, &T::a111, &T::a2, &T::a21, &T::b}},
        {"the parent enumerated", &T::a11, &T::root, {&T::a, &T::a1, &T::a11}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const Tree t = MakeTree(d);
        Recorder r{t.All()};
        r.during = [&](WindowHandle h) {
            if (h == t.*step.at) d.Destroy(t.*step.victim);
        };
        EXPECT_TRUE(d.System().EnumerateDescendants(t.root, r.Visit()));
        std::vector<WindowHandle> expected;
        for (const auto member : step.seen) expected.push_back(t.*member);
        EXPECT_EQ(r.seen, expected);
    }

    const WindowHandle first = d.AddTopLevel({"KestrumContractTop", "first", {0, 0, 50, 50}});
    const WindowHandle second = d.AddTopLevel({"KestrumContractTop", "second", {0, 0, 50, 50}});
    const WindowHandle third = d.AddTopLevel({"KestrumContractTop", "third", {0, 0, 50, 50}});
    Recorder top{{first, second, third}};
    top.during = [&](WindowHandle h) {
        if (h == first) d.Destroy(second);
    };
    EXPECT_TRUE(d.System().EnumerateTopLevelWindows(top.Visit()));
    EXPECT_EQ(top.seen, (std::vector<WindowHandle>{first, third}));
}

// --- Handles that name no window ----------------------------------------------

void EveryCallOnAHandleThatNamesNoWindowFails(ContractDesktop& d) {
    const WindowHandle top = d.AddTopLevel({"KestrumContractTop", "Gone", {1, 2, 30, 40}});
    const WindowHandle child = d.AddChild(top, {"KestrumContractPart", "child", {1, 2, 3, 4}});
    d.Destroy(top);
    for (const WindowHandle gone : {top, child, WindowHandle{0}}) {
        SCOPED_TRACE(gone == top ? "destroyed" : gone == child ? "its parent destroyed" : "handle 0");
        WindowSystem& s = d.System();
        EXPECT_EQ(s.WindowText(gone), "");
        EXPECT_EQ(s.ClassName(gone), "");
        Rect rect{1, 2, 3, 4};
        EXPECT_FALSE(s.ReadWindowRect(gone, rect));
        EXPECT_EQ(rect, (Rect{1, 2, 3, 4})) << "left as it was";
        EXPECT_EQ(s.ParentOf(gone), 0);
        Rect mapped{5, 6, 7, 8};
        EXPECT_FALSE(s.MapRectToClient(gone, mapped));
        EXPECT_EQ(mapped, (Rect{5, 6, 7, 8}));
        EXPECT_EQ(s.MoveWindow(gone, 0, 0, 10, 10), MoveResult::Failed) << "failed, not refused";
        EXPECT_EQ(s.ProbeAnswering(gone)->Heard(), Reply::NoWindow);
        EXPECT_EQ(s.RightsOf(gone), Rights::Same);
        EXPECT_EQ(s.RootOf(gone), 0);
        EXPECT_FALSE(s.IsWindow(gone));
        EXPECT_FALSE(s.IsVisible(gone));
        EXPECT_FALSE(s.IsMinimized(gone));
        EXPECT_FALSE(s.IsWindowEnabled(gone));
        s.RequestEnable(gone, true);
        d.HandleMessagesUntil([] { return false; });
        EXPECT_FALSE(s.IsWindowEnabled(gone));
    }
}

// --- Text ----------------------------------------------------------------------

// Texts and class names come back whole, beyond ASCII and beyond any one
// code page too (three scripts and a character outside the Basic
// Multilingual Plane: "Заказы 中文 Größe 😀", a class "Класс中").
void TextsComeBackWhole(ContractDesktop& d) {
    const std::string longText(1000, 'L');
    const std::string threeScripts =
        "\xD0\x97\xD0\xB0\xD0\xBA\xD0\xB0\xD0\xB7\xD1\x8B \xE4\xB8\xAD\xE6\x96\x87 Gr\xC3\xB6\xC3\x9F"
        "e \xF0\x9F\x98\x80";
    for (const std::string& text :
         {std::string("Orders"), std::string(), std::string("Caf\xC3\xA9"), threeScripts, longText}) {
        SCOPED_TRACE(text.substr(0, 10));
        const WindowHandle w = d.AddTopLevel({"KestrumContractTop", text, {0, 0, 50, 50}});
        EXPECT_EQ(d.System().WindowText(w), text);
        EXPECT_EQ(d.System().ClassName(w), "KestrumContractTop");
    }
    const WindowHandle client = d.AddTopLevel({"C/SIDE Application", "", {0, 0, 50, 50}});
    EXPECT_EQ(d.System().ClassName(client), "C/SIDE Application");
    const std::string wideClass = "\xD0\x9A\xD0\xBB\xD0\xB0\xD1\x81\xD1\x81\xE4\xB8\xAD";
    const WindowHandle other = d.AddTopLevel({wideClass, "", {0, 0, 50, 50}});
    EXPECT_EQ(d.System().ClassName(other), wideClass);
}

// --- Rectangles and coordinates -------------------------------------------------

// The child's rectangle in its parent's client coordinates, read back.
Rect PlaceInParent(WindowSystem& s, WindowHandle child) {
    Rect rect{-1, -1, -1, -1};
    EXPECT_TRUE(s.ReadWindowRect(child, rect));
    EXPECT_TRUE(s.MapRectToClient(s.ParentOf(child), rect));
    return rect;
}

void ChildrenArePlacedInTheirParentsClientArea(ContractDesktop& d) {
    WindowSystem& s = d.System();
    const WindowHandle bare = d.AddTopLevel({"KestrumContractTop", "", {100, 100, 700, 500}});
    const WindowHandle framed = d.AddTopLevel({"KestrumContractTop", "", {100, 100, 700, 500}, true});
    for (const WindowHandle top : {bare, framed}) {
        SCOPED_TRACE(top == bare ? "frameless parent" : "framed parent");
        Rect rect;
        ASSERT_TRUE(s.ReadWindowRect(top, rect));
        EXPECT_EQ(rect, (Rect{100, 100, 700, 500})) << "a top-level window is placed on the screen";
        EXPECT_EQ(s.ParentOf(top), 0) << "the desktop is no parent";

        const WindowHandle frame = d.AddChild(top, {"KestrumContractPart", "", {5, 5, 405, 305}, true});
        const WindowHandle pane = d.AddChild(frame, {"KestrumContractPart", "", {10, 20, 210, 120}});
        EXPECT_EQ(s.ParentOf(frame), top);
        EXPECT_EQ(s.ParentOf(pane), frame);
        EXPECT_EQ(PlaceInParent(s, frame), (Rect{5, 5, 405, 305}));
        EXPECT_EQ(PlaceInParent(s, pane), (Rect{10, 20, 210, 120}));

        Rect pane1;
        Rect frame1;
        ASSERT_TRUE(s.ReadWindowRect(pane, pane1));
        ASSERT_TRUE(s.ReadWindowRect(frame, frame1));
        if (top == bare) {
            EXPECT_EQ(frame1, (Rect{105, 105, 505, 405})) << "no frame: the client area is the window";
        }
        EXPECT_GT(pane1.left, frame1.left + 10) << "inside the frame's border";
        EXPECT_GT(pane1.top, frame1.top + 20) << "below the frame's caption";

        // Moving a child takes its parent's client coordinates; a negative
        // size is taken as 0.
        EXPECT_EQ(s.MoveWindow(pane, 30, 40, 250, 60), MoveResult::Posted);
        EXPECT_EQ(PlaceInParent(s, pane), (Rect{30, 40, 280, 100}));
        EXPECT_EQ(s.MoveWindow(pane, 10, 20, -40, 100), MoveResult::Posted);
        EXPECT_EQ(PlaceInParent(s, pane), (Rect{10, 20, 10, 120}));
    }
    EXPECT_EQ(s.MoveWindow(framed, 50, 60, 400, 300), MoveResult::Posted);
    Rect moved;
    ASSERT_TRUE(s.ReadWindowRect(framed, moved));
    EXPECT_EQ(moved, (Rect{50, 60, 450, 360})) << "a top-level window moves on the screen";
}

// In a mirrored parent x runs from the client area's right edge: a child sits
// mirrored on screen, maps back to its logical rectangle with left and right
// in order, and grows to the left when it widens.
void MirroredParentsCountFromTheRight(ContractDesktop& d) {
    WindowSystem& s = d.System();
    const WindowHandle bare = d.AddTopLevel({"KestrumContractTop", "", {100, 100, 700, 500}, false, true});
    const WindowHandle pane = d.AddChild(bare, {"KestrumContractPart", "", {10, 20, 210, 120}});
    Rect rect;
    ASSERT_TRUE(s.ReadWindowRect(pane, rect));
    EXPECT_EQ(rect, (Rect{490, 120, 690, 220}));
    EXPECT_EQ(PlaceInParent(s, pane), (Rect{10, 20, 210, 120}));
    EXPECT_EQ(s.MoveWindow(pane, 10, 20, 300, 100), MoveResult::Posted);
    ASSERT_TRUE(s.ReadWindowRect(pane, rect));
    EXPECT_EQ(rect, (Rect{390, 120, 690, 220}));

    // Framed, and nested: a mirrored frame in a mirrored window.
    const WindowHandle framed = d.AddTopLevel({"KestrumContractTop", "", {100, 100, 700, 500}, true, true});
    const WindowHandle frame =
        d.AddChild(framed, {"KestrumContractPart", "", {5, 5, 405, 305}, true, true});
    const WindowHandle inner = d.AddChild(frame, {"KestrumContractPart", "", {10, 20, 210, 120}});
    EXPECT_EQ(PlaceInParent(s, frame), (Rect{5, 5, 405, 305}));
    EXPECT_EQ(PlaceInParent(s, inner), (Rect{10, 20, 210, 120}));
    Rect before;
    ASSERT_TRUE(s.ReadWindowRect(inner, before));
    EXPECT_EQ(s.MoveWindow(inner, 10, 20, 260, 100), MoveResult::Posted);
    Rect after;
    ASSERT_TRUE(s.ReadWindowRect(inner, after));
    EXPECT_EQ(after, (Rect{before.right - 260, before.top, before.right, before.bottom}));
}

// A refused move is told apart from a failed one, and changes nothing. (The
// user32 side reports ERROR_ACCESS_DENIED as a refusal; only another process
// can refuse, so there the case ends at the failed move.)
void ARefusedMoveIsToldFromAFailedOne(ContractDesktop& d) {
    WindowSystem& s = d.System();
    const WindowHandle w = d.AddTopLevel({"KestrumContractTop", "", {100, 100, 300, 300}});
    const WindowHandle gone = d.AddTopLevel({"KestrumContractTop", "", {0, 0, 50, 50}});
    d.Destroy(gone);
    EXPECT_EQ(s.MoveWindow(gone, 0, 0, 10, 10), MoveResult::Failed);
    EXPECT_EQ(s.RightsOf(w), Rights::Same) << "a window of this program";
    if (!d.RefuseMoves(w)) return;
    EXPECT_EQ(s.MoveWindow(w, 10, 10, 50, 50), MoveResult::Refused);
    Rect rect;
    ASSERT_TRUE(s.ReadWindowRect(w, rect));
    EXPECT_EQ(rect, (Rect{100, 100, 300, 300}));
}

// --- Enabled state ---------------------------------------------------------------

void TheEnabledStateIsSetAndReadBack(ContractDesktop& d) {
    WindowSystem& s = d.System();
    const WindowHandle w = d.AddTopLevel({"KestrumContractTop", "", {0, 0, 50, 50}});
    Shape disabledShape{"KestrumContractTop", "", {0, 0, 50, 50}};
    disabledShape.enabled = false;
    const WindowHandle disabled = d.AddTopLevel(disabledShape);
    EXPECT_TRUE(s.IsWindowEnabled(w));
    EXPECT_FALSE(s.IsWindowEnabled(disabled));
    for (const auto& [window, enable] : {std::pair{w, false}, std::pair{w, true}, std::pair{disabled, true}}) {
        s.RequestEnable(window, enable);
        d.HandleMessagesUntil([&] { return s.IsWindowEnabled(window) == enable; });
        EXPECT_EQ(s.IsWindowEnabled(window), enable);
    }
    const std::unique_ptr<AnswerProbe> probe = s.ProbeAnswering(w);
    d.HandleMessagesUntil([&] { return probe->Heard() != Reply::NoAnswer; });
    EXPECT_EQ(probe->Heard(), Reply::Answered) << "a window whose thread answers";
}

// --- Where a window lies, and whether it is seen ------------------------------

void RootsAndVisibility(ContractDesktop& d) {
    WindowSystem& s = d.System();
    Shape shown{"KestrumContractTop", "", {0, 0, 200, 200}};
    shown.visible = true;
    Shape hiddenChild{"KestrumContractPart", "", {0, 0, 50, 50}};
    Shape shownChild = hiddenChild;
    shownChild.visible = true;
    const WindowHandle top = d.AddTopLevel(shown);
    const WindowHandle child = d.AddChild(top, shownChild);
    const WindowHandle grandchild = d.AddChild(child, shownChild);
    const WindowHandle hidden = d.AddChild(top, hiddenChild);
    const WindowHandle inHidden = d.AddChild(hidden, shownChild);
    const WindowHandle hiddenTop = d.AddTopLevel({"KestrumContractTop", "", {0, 0, 50, 50}});
    const WindowHandle inHiddenTop = d.AddChild(hiddenTop, shownChild);
    for (const WindowHandle h : {top, child, grandchild, hidden, inHidden}) EXPECT_EQ(s.RootOf(h), top);
    EXPECT_EQ(s.RootOf(inHiddenTop), hiddenTop);
    EXPECT_TRUE(s.IsWindow(grandchild));
    EXPECT_TRUE(s.IsVisible(top));
    EXPECT_TRUE(s.IsVisible(grandchild));
    EXPECT_FALSE(s.IsVisible(hidden));
    EXPECT_FALSE(s.IsVisible(inHidden)) << "shown itself, inside a hidden window";
    EXPECT_FALSE(s.IsVisible(inHiddenTop));
    // A minimized window's children stay shown: only the window tells.
    shown.minimized = true;
    const WindowHandle minimized = d.AddTopLevel(shown);
    const WindowHandle inMinimized = d.AddChild(minimized, shownChild);
    EXPECT_TRUE(s.IsMinimized(minimized));
    EXPECT_TRUE(s.IsVisible(inMinimized));
    EXPECT_FALSE(s.IsMinimized(top));
}

const ContractCase kCases[] = {
    {"TopLevelWindowsInZOrder", TopLevelWindowsInZOrder},
    {"DescendantsDepthFirstAtAnyDepth", DescendantsDepthFirstAtAnyDepth},
    {"ACallbackReturningZeroStopsTheEnumeration", ACallbackReturningZeroStopsTheEnumeration},
    {"AFailingCallbackStopsTheEnumerationAndTheFailureGoesOn",
     AFailingCallbackStopsTheEnumerationAndTheFailureGoesOn},
    {"DescendantsOfNoWindowAreNone", DescendantsOfNoWindowAreNone},
    {"WindowsGoneDuringAnEnumerationAreSkipped", WindowsGoneDuringAnEnumerationAreSkipped},
    {"EveryCallOnAHandleThatNamesNoWindowFails", EveryCallOnAHandleThatNamesNoWindowFails},
    {"TextsComeBackWhole", TextsComeBackWhole},
    {"ChildrenArePlacedInTheirParentsClientArea", ChildrenArePlacedInTheirParentsClientArea},
    {"MirroredParentsCountFromTheRight", MirroredParentsCountFromTheRight},
    {"TheEnabledStateIsSetAndReadBack", TheEnabledStateIsSetAndReadBack},
    {"RootsAndVisibility", RootsAndVisibility},
    {"ARefusedMoveIsToldFromAFailedOne", ARefusedMoveIsToldFromAFailedOne},
};

}  // namespace

std::vector<ContractRun> ContractRuns(const DesktopFactory& factory) {
    std::vector<ContractRun> runs;
    for (const ContractCase& c : kCases) runs.push_back({&c, factory});
    return runs;
}

std::string ContractName(const ::testing::TestParamInfo<ContractRun>& info) {
    return info.param.contractCase->name;
}

TEST_P(WindowSystemContract, Holds) {
    const std::unique_ptr<ContractDesktop> desktop = GetParam().factory();
    if (desktop == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
    GetParam().contractCase->run(*desktop);
}

}  // namespace kestrum::contract
