// The form held in memory until its window is first shown, then moved into
// the window's surface.
#include "ui/deferred_form_surface.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "support/memory_form_surface.h"

namespace kestrum {
namespace {

class DeferredFormSurfaceTest : public ::testing::Test {
protected:
    // Fills the held form as start-up would: the first list with three
    // entries and their values, the field with a width, all of it selected.
    void FillHeldForm(ListIndex selected) {
        WindowList& list = deferred.List1(0);
        EXPECT_EQ(list.AddItem("3 # C/SIDE Application # b"), 0);
        EXPECT_EQ(list.AddItem("1 # C/SIDE Application # a"), 1);
        EXPECT_EQ(list.AddItem("2 # Caf\xC3\xA9 \xF0\x9F\x98\x80"), 2);
        list.SetItemData(0, 0x00010064);
        list.SetItemData(1, -1);
        list.SetItemData(3, 9);  // names no entry
        list.SetSelectedIndex(selected);
        deferred.List1(2).AddItem("7 # C/SIDE NavPane # ");
        deferred.List1(2).SetItemData(0, 7);
        deferred.SetText1("250");
        deferred.SelectAllText1();
    }

    MemoryFormSurface window;
    int windowsMade = 0;
    bool canMakeWindow = true;
    DeferredFormSurface deferred{[this]() -> FormSurface* {
        ++windowsMade;
        return canMakeWindow ? &window : nullptr;
    }};
    std::vector<ListIndex> selectionChanges;
};

TEST_F(DeferredFormSurfaceTest, HoldsTheFormInMemoryUntilItIsFirstShown) {
    deferred.List1(0).OnSelectionChange([this] { selectionChanges.push_back(0); });
    FillHeldForm(1);
    deferred.SetVisible(false);

    EXPECT_EQ(windowsMade, 0) << "hiding a window that does not exist makes none";
    EXPECT_EQ(deferred.List1(0).ListCount(), 3);
    EXPECT_EQ(deferred.List1(0).ItemText(2), "2 # Caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(deferred.List1(0).ItemData(1), -1);
    EXPECT_EQ(deferred.List1(0).SelectedIndex(), 1);
    EXPECT_EQ(deferred.Text1(), "250");
    EXPECT_EQ(selectionChanges, std::vector<ListIndex>{0})
        << "a selection made in memory is raised";
    EXPECT_EQ(window.List1(0).ListCount(), 0);
}

// Showing the form makes the window once and moves everything into it; the
// selection arrives without a second change, and from then on the window's
// lists raise the form's handlers.
TEST_F(DeferredFormSurfaceTest, FirstShowMovesTheFormIntoTheWindow) {
    struct Case {
        ListIndex selectedBefore;
        ListIndex selectedInWindow;
    };
    for (const Case c : {Case{1, 1}, Case{0, 0}, Case{kNoEntry, kNoEntry}, Case{7, kNoEntry}}) {
        MemoryFormSurface shown;
        DeferredFormSurface form{[&shown]() -> FormSurface* { return &shown; }};
        int changes = 0;
        form.List1(0).OnSelectionChange([&changes] { ++changes; });
        form.List1(0).AddItem("a");
        form.List1(0).AddItem("b");
        form.List1(0).SetItemData(1, -1);
        form.List1(0).SetSelectedIndex(c.selectedBefore);
        form.SetText1("-40");
        form.SelectAllText1();

        form.SetVisible(true);
        EXPECT_TRUE(shown.Visible());
        EXPECT_EQ(changes, 1) << "moving the selection raises nothing";
        ASSERT_EQ(shown.List(0).ListCount(), 2);
        EXPECT_EQ(shown.List(0).ItemText(1), "b");
        EXPECT_EQ(shown.List(0).ItemData(1), -1);
        EXPECT_EQ(shown.List(0).SelectedIndex(), c.selectedInWindow) << c.selectedBefore;
        EXPECT_EQ(shown.Text1(), "-40");
        EXPECT_TRUE(shown.AllSelected());

        // From now on the window's controls are the form.
        form.List1(0).AddItem("c");
        EXPECT_EQ(shown.List(0).ListCount(), 3);
        form.List1(0).SetSelectedIndex(2);
        EXPECT_EQ(changes, 2) << "the form's handler moved with the list";
        form.SetText1("180");
        EXPECT_EQ(shown.Text1(), "180");
        form.SetVisible(false);
        EXPECT_FALSE(shown.Visible());
    }
}

// A window whose first list refuses the entries naming "# a", as a list box
// out of room would.
class RefusingWindow final : public FormSurface {
public:
    struct RefusingList final : HeldWindowList {
        ListIndex AddItem(std::string_view text) override {
            if (text.find("# a") != std::string_view::npos) return kNoEntry;
            return HeldWindowList::AddItem(text);
        }
    };

    WindowList& List1(int index) override {
        if (index == 0) return refusing;
        return others.at(static_cast<std::size_t>(index));
    }
    std::string Text1() const override { return text; }
    void SetText1(std::string_view newText) override { text = newText; }
    void SelectAllText1() override {}
    void SetVisible(bool /*visible*/) override {}

    RefusingList refusing;
    std::array<HeldWindowList, 3> others;
    std::string text;
};

TEST(DeferredFormSurfaceRefusalTest, ARefusedEntryIsLeftOutAndTheSelectionFollowsItsEntry) {
    struct Case {
        ListIndex selectedBefore;
        ListIndex selectedInWindow;
    };
    // "1 # a" (index 1) is refused; "2 # c" moves up to index 1.
    for (const Case c : {Case{2, 1}, Case{1, kNoEntry}, Case{0, 0}}) {
        RefusingWindow shown;
        DeferredFormSurface form{[&shown]() -> FormSurface* { return &shown; }};
        form.List1(0).AddItem("0 # b");
        form.List1(0).AddItem("1 # a");
        form.List1(0).AddItem("2 # c");
        for (ListIndex i = 0; i < 3; ++i) form.List1(0).SetItemData(i, 100 + i);
        form.List1(0).SetSelectedIndex(c.selectedBefore);

        form.SetVisible(true);
        ASSERT_EQ(shown.refusing.ListCount(), 2);
        EXPECT_EQ(shown.refusing.ItemText(1), "2 # c");
        EXPECT_EQ(shown.refusing.ItemData(1), 102) << "each value stays with its entry";
        EXPECT_EQ(shown.refusing.SelectedIndex(), c.selectedInWindow) << c.selectedBefore;
    }
}

TEST_F(DeferredFormSurfaceTest, AWindowThatCannotBeMadeLeavesTheFormInMemory) {
    FillHeldForm(0);
    canMakeWindow = false;
    deferred.SetVisible(true);
    EXPECT_EQ(windowsMade, 1);
    EXPECT_FALSE(window.Visible());
    EXPECT_EQ(deferred.List1(0).ListCount(), 3) << "nothing was lost";
    EXPECT_EQ(deferred.Text1(), "250");

    canMakeWindow = true;
    deferred.SetVisible(true);
    EXPECT_EQ(windowsMade, 2);
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.List(0).ListCount(), 3);
    deferred.SetVisible(true);
    EXPECT_EQ(windowsMade, 2) << "made once";
}

TEST_F(DeferredFormSurfaceTest, AGoneWindowLeavesAnEmptyFormInMemoryWithItsHandlers) {
    deferred.List1(0).OnSelectionChange(
        [this] { selectionChanges.push_back(deferred.List1(0).SelectedIndex()); });
    FillHeldForm(0);
    deferred.SetVisible(true);
    deferred.Detach();

    EXPECT_EQ(deferred.List1(0).ListCount(), 0);
    EXPECT_EQ(deferred.List1(2).ListCount(), 0);
    EXPECT_EQ(deferred.Text1(), "");
    deferred.List1(0).AddItem("e");
    deferred.List1(0).SetSelectedIndex(0);
    EXPECT_EQ(selectionChanges, (std::vector<ListIndex>{0, 0}));
    EXPECT_EQ(window.List(0).ListCount(), 3) << "the gone window is not written to";
}

}  // namespace
}  // namespace kestrum
