// The in-memory desktop: held to the window-system contract that user32 is
// held to, and its own test controls (faults, call counts).
#include "support/memory_desktop.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "window_system_contract.h"

namespace kestrum {
namespace {

using contract::WindowSystemContract;

// Frames as a real window manager draws them: a caption and border around a
// top-level window's client area, a thinner one around a child's.
constexpr Point kTopLevelFrame{4, 23};
constexpr Point kChildFrame{3, 22};

class MemoryContractDesktop final : public contract::ContractDesktop {
public:
    WindowSystem& System() override { return desktop_; }
    WindowHandle AddTopLevel(const contract::Shape& shape) override {
        return desktop_.AddTopLevel(Spec(shape, kTopLevelFrame));
    }
    WindowHandle AddChild(WindowHandle parent, const contract::Shape& shape) override {
        return desktop_.AddChild(parent, Spec(shape, kChildFrame));
    }
    void Destroy(WindowHandle window) override { desktop_.Destroy(window); }
    bool RefuseMoves(WindowHandle window) override {
        desktop_.RefuseMoves(window);
        return true;
    }

private:
    static NewWindow Spec(const contract::Shape& shape, Point frame) {
        NewWindow spec{shape.className, shape.text, shape.rect, shape.framed ? frame : Point{},
                        shape.enabled};
        spec.mirrored = shape.mirrored;
        spec.visible = shape.visible;
        spec.minimized = shape.minimized;
        return spec;
    }

    MemoryDesktop desktop_;
};

INSTANTIATE_TEST_SUITE_P(InMemory, WindowSystemContract,
                         ::testing::ValuesIn(contract::ContractRuns(
                             [] { return std::make_unique<MemoryContractDesktop>(); })),
                         contract::ContractName);

std::vector<WindowHandle> Descendants(MemoryDesktop& d, WindowHandle parent) {
    std::vector<WindowHandle> seen;
    d.EnumerateDescendants(parent, [&](WindowHandle h) { seen.push_back(h); return true; });
    return seen;
}

TEST(MemoryDesktop, InjectedFaults) {
    MemoryDesktop d;
    const WindowHandle w = d.AddTopLevel({"C", "Title", {1, 2, 3, 4}});
    d.OverrideTextLength(w, 1000);
    EXPECT_EQ(d.WindowText(w), "Title") << "the text itself is unchanged";
    d.OverrideTextLength(w, 2);
    EXPECT_EQ(d.WindowText(w), "Ti") << "read into the room its length asks for";
    d.FailTextRead(w);
    EXPECT_THROW(d.WindowText(w), std::bad_alloc);
    d.FailRectRead(w);
    Rect rect;
    EXPECT_FALSE(d.ReadWindowRect(w, rect));
    EXPECT_EQ(rect, Rect{});
}

TEST(MemoryDesktop, CountsCallsPerOperation) {
    MemoryDesktop d;
    const WindowHandle w = d.AddTopLevel({"C", "T"});
    d.ClassName(w);
    d.ClassName(w);
    d.WindowText(w);
    EXPECT_EQ(d.Calls(Operation::ClassName), 2u);
    EXPECT_EQ(d.Calls(Operation::WindowText), 1u);
    EXPECT_EQ(d.Calls(Operation::ReadWindowRect), 0u);
    EXPECT_EQ(d.TotalCalls(), 3u);
    d.ResetCalls();
    EXPECT_EQ(d.TotalCalls(), 0u);
}

TEST(MemoryDesktop, RejectsADuplicateHandleOrAMissingParent) {
    MemoryDesktop d;
    d.AddTopLevel({"A", "", {}, {}, true, 42});
    EXPECT_THROW(d.AddTopLevel({"B", "", {}, {}, true, 42}), std::invalid_argument);
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
