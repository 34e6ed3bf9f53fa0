// The in-memory desktop must answer as the real window manager does where
// Kestrum relies on it; these tests pin those behaviours down.
#include "winsys/memory_desktop.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace kestrum {
namespace {

std::vector<WindowHandle> TopLevel(MemoryDesktop& d) {
    std::vector<WindowHandle> seen;
    d.EnumerateTopLevelWindows([&](WindowHandle h, std::int32_t) { seen.push_back(h); return 1; }, 0);
    return seen;
}

std::vector<WindowHandle> Descendants(MemoryDesktop& d, WindowHandle parent) {
    std::vector<WindowHandle> seen;
    d.EnumerateDescendants(parent, [&](WindowHandle h, std::int32_t) { seen.push_back(h); return 1; }, 2);
    return seen;
}

TEST(MemoryDesktop, EnumeratesTopLevelInZOrderAndDescendantsDepthFirst) {
    MemoryDesktop d;
    const WindowHandle a = d.AddTopLevel({"A"});
    const WindowHandle b = d.AddTopLevel({"B"});
    const WindowHandle a1 = d.AddChild(a, {"a1"});
    const WindowHandle a2 = d.AddChild(a, {"a2"});
    const WindowHandle a11 = d.AddChild(a1, {"a11"});
    const WindowHandle a111 = d.AddChild(a11, {"a111"});
    const WindowHandle a21 = d.AddChild(a2, {"a21"});

    EXPECT_EQ(TopLevel(d), (std::vector<WindowHandle>{a, b}));
    EXPECT_EQ(Descendants(d, a), (std::vector<WindowHandle>{a1, a11, a111, a2, a21}));
    EXPECT_TRUE(Descendants(d, b).empty());
}

TEST(MemoryDesktop, EnumerationStopsWhenTheCallbackReturnsZero) {
    MemoryDesktop d;
    d.AddTopLevel({"A"});
    d.AddTopLevel({"B"});
    int calls = 0;
    EXPECT_FALSE(d.EnumerateTopLevelWindows([&](WindowHandle, std::int32_t) { ++calls; return 0; }, 0));
    EXPECT_EQ(calls, 1);
}

TEST(MemoryDesktop, EnumerationPassesTheValueThrough) {
    MemoryDesktop d;
    const WindowHandle a = d.AddTopLevel({"A"});
    d.AddChild(a, {"a1"});
    std::int32_t seen = -1;
    d.EnumerateDescendants(a, [&](WindowHandle, std::int32_t v) { seen = v; return 1; }, 2);
    EXPECT_EQ(seen, 2);
}

TEST(MemoryDesktop, ChildRectanglesAreRelativeToTheParentsClientArea) {
    MemoryDesktop d;
    // Measured on a real window manager: a pane at client (10,20) of a main
    // window at (100,100) whose client area starts at (4,23) inside it.
    const WindowHandle main = d.AddTopLevel({"M", "", {100, 100, 900, 700}, {4, 23}});
    const WindowHandle inner = d.AddChild(main, {"I", "", {5, 6, 505, 406}, {2, 2}});
    const WindowHandle pane = d.AddChild(inner, {"P", "", {10, 20, 260, 170}});

    EXPECT_EQ(d.ScreenRect(main), (Rect{100, 100, 900, 700}));
    EXPECT_EQ(d.ScreenRect(inner), (Rect{109, 129, 609, 529}));
    EXPECT_EQ(d.ScreenRect(pane), (Rect{121, 151, 371, 301}));

    Rect r{121, 151, 371, 301};
    EXPECT_TRUE(d.MapRectToClient(inner, r));
    EXPECT_EQ(r, (Rect{10, 20, 260, 170}));

    // MoveWindow on a child takes client coordinates of its parent, so
    // screen coordinates passed unconverted make the window jump.
    EXPECT_TRUE(d.MoveWindow(pane, 121, 151, 300, 150));
    EXPECT_EQ(d.ScreenRect(pane), (Rect{232, 282, 532, 432}));
    EXPECT_EQ(d.RectInParent(pane), (Rect{121, 151, 421, 301}));

    EXPECT_TRUE(d.MoveWindow(main, 0, 0, 800, 600));
    EXPECT_EQ(d.ScreenRect(main), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(d.ParentOf(pane), inner);
    EXPECT_EQ(d.ParentOf(main), 0);
}

TEST(MemoryDesktop, NegativeSizesAreTakenAsZero) {
    MemoryDesktop d;
    const WindowHandle w = d.AddTopLevel({"W", "", {10, 10, 20, 20}});
    d.MoveWindow(w, 5, 6, -40, -1);
    EXPECT_EQ(d.ScreenRect(w), (Rect{5, 6, 5, 6}));
}

TEST(MemoryDesktop, TextCallsCopyWhatFitsWithATerminator) {
    MemoryDesktop d;
    const WindowHandle w = d.AddTopLevel({"Class", "Orders"});
    std::array<char, 4> small{'x', 'x', 'x', 'x'};
    EXPECT_EQ(d.ReadWindowText(w, small), 3);
    EXPECT_EQ(std::string(small.data()), "Ord");
    EXPECT_EQ(d.ReadClassName(w, small), 3);
    EXPECT_EQ(std::string(small.data()), "Cla");
    std::array<char, 1> one{'x'};
    EXPECT_EQ(d.ReadWindowText(w, one), 0);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(d.ReadWindowText(w, std::span<char>{}), 0);
    EXPECT_EQ(d.WindowTextLength(w), 6);
}

TEST(MemoryDesktop, CallsOnAHandleThatNamesNoWindowFail) {
    MemoryDesktop d;
    const WindowHandle w = d.AddTopLevel({"Class", "Title", {1, 2, 3, 4}});
    const WindowHandle child = d.AddChild(w, {"Child"});
    d.Destroy(w);
    EXPECT_FALSE(d.Exists(child)) << "destroying a window destroys its descendants";

    for (const WindowHandle gone : {w, child, WindowHandle{0}, WindowHandle{-5}}) {
        std::array<char, 8> buffer{'x'};
        Rect rect{9, 9, 9, 9};
        Rect mapped{7, 7, 7, 7};
        EXPECT_EQ(d.WindowTextLength(gone), 0);
        EXPECT_EQ(d.ReadWindowText(gone, buffer), 0);
        EXPECT_EQ(buffer[0], '\0');
        EXPECT_EQ(d.ReadClassName(gone, buffer), 0);
        EXPECT_FALSE(d.ReadWindowRect(gone, rect));
        EXPECT_EQ(rect, (Rect{9, 9, 9, 9})) << "a failed read leaves the rectangle alone";
        EXPECT_FALSE(d.MapRectToClient(gone, mapped));
        EXPECT_EQ(mapped, (Rect{7, 7, 7, 7}));
        EXPECT_EQ(d.ParentOf(gone), 0);
        EXPECT_FALSE(d.MoveWindow(gone, 0, 0, 1, 1));
        EXPECT_FALSE(d.IsWindowEnabled(gone));
        EXPECT_FALSE(d.EnumerateDescendants(gone, [](WindowHandle, std::int32_t) { return 1; }, 2));
    }
    EXPECT_TRUE(TopLevel(d).empty());
}

TEST(MemoryDesktop, AWindowDestroyedDuringAnEnumerationIsSkipped) {
    MemoryDesktop d;
    const WindowHandle a = d.AddTopLevel({"A"});
    const WindowHandle b = d.AddTopLevel({"B"});
    const WindowHandle c = d.AddTopLevel({"C"});
    d.DestroyOnCall(Operation::ReadClassName, a, b);
    std::vector<WindowHandle> seen;
    std::array<char, 8> buffer{};
    d.EnumerateTopLevelWindows([&](WindowHandle h, std::int32_t) {
        seen.push_back(h);
        d.ReadClassName(h, buffer);
        return 1;
    }, 0);
    EXPECT_EQ(seen, (std::vector<WindowHandle>{a, c}));
}

TEST(MemoryDesktop, ChildrenDestroyedDuringTheirParentsTurnAreSkipped) {
    MemoryDesktop d;
    const WindowHandle root = d.AddTopLevel({"R"});
    const WindowHandle a = d.AddChild(root, {"a"});
    const WindowHandle a1 = d.AddChild(a, {"a1"});
    const WindowHandle b = d.AddChild(root, {"b"});
    d.DestroyOnCall(Operation::IsWindowEnabled, a, a1);
    std::vector<WindowHandle> seen;
    d.EnumerateDescendants(root, [&](WindowHandle h, std::int32_t) {
        seen.push_back(h);
        d.IsWindowEnabled(h);
        return 1;
    }, 2);
    EXPECT_EQ(seen, (std::vector<WindowHandle>{a, b}));
}

TEST(MemoryDesktop, InjectedFaults) {
    MemoryDesktop d;
    const WindowHandle w = d.AddTopLevel({"C", "Title", {1, 2, 3, 4}});
    d.OverrideTextLength(w, 1000);
    EXPECT_EQ(d.WindowTextLength(w), 1000);
    std::array<char, 64> buffer{};
    EXPECT_EQ(d.ReadWindowText(w, buffer), 5) << "the text itself is unchanged";
    d.FailRectRead(w);
    Rect rect;
    EXPECT_FALSE(d.ReadWindowRect(w, rect));
    EXPECT_EQ(rect, Rect{});
}

TEST(MemoryDesktop, CountsCallsPerOperation) {
    MemoryDesktop d;
    const WindowHandle w = d.AddTopLevel({"C", "T"});
    std::array<char, 8> buffer{};
    d.ReadClassName(w, buffer);
    d.ReadClassName(w, buffer);
    d.WindowTextLength(w);
    d.ShowMessage("hello");
    EXPECT_EQ(d.Calls(Operation::ReadClassName), 2u);
    EXPECT_EQ(d.Calls(Operation::WindowTextLength), 1u);
    EXPECT_EQ(d.Calls(Operation::ReadWindowText), 0u);
    EXPECT_EQ(d.TotalCalls(), 4u);
    EXPECT_EQ(d.Messages(), (std::vector<std::string>{"hello"}));
    d.ResetCalls();
    EXPECT_EQ(d.TotalCalls(), 0u);
}

TEST(MemoryDesktop, RejectsADuplicateHandleOrAMissingParent) {
    MemoryDesktop d;
    d.AddTopLevel({"A", "", {}, {}, true, 1, 42});
    EXPECT_THROW(d.AddTopLevel({"B", "", {}, {}, true, 1, 42}), std::invalid_argument);
    EXPECT_THROW(d.AddChild(999, {"C"}), std::invalid_argument);
}

TEST(MemoryDesktop, ADeepChainIsEnumeratedWithoutRecursion) {
    MemoryDesktop d;
    WindowHandle parent = d.AddTopLevel({"Root"});
    const WindowHandle root = parent;
    for (int i = 0; i < 100000; ++i) parent = d.AddChild(parent, {"Link"});
    EXPECT_EQ(Descendants(d, root).size(), 100000u);
    EXPECT_EQ(d.ScreenRect(parent), Rect{});
    d.Destroy(root);
    EXPECT_FALSE(d.Exists(parent));
}

}  // namespace
}  // namespace kestrum
