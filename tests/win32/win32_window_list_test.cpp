// The window list over a real list box.
#include "ui/win32/win32_window_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32_fixture.h"

namespace kestrum::win32 {
namespace {

class Win32WindowListTest : public ::testing::Test {
protected:
    void SetUp() override {
        listBox.Reset(testing::MakeWindow(L"LISTBOX", L"", nullptr, {0, 0, 200, 200},
                                          WS_OVERLAPPED | LBS_NOTIFY));
        if (listBox.Get() == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
        list = Win32WindowList(listBox.Get());
        list.OnSelectionChange([this] { selectionChanges.push_back(list.SelectedIndex()); });
    }

    UniqueWindow listBox;
    Win32WindowList list{nullptr};
    std::vector<ListIndex> selectionChanges;
};

TEST_F(Win32WindowListTest, KeepsEntriesInOrderWithTheirValues) {
    EXPECT_EQ(list.AddItem("3 # C/SIDE Application # b"), 0);
    EXPECT_EQ(list.AddItem("1 # C/SIDE Application # a"), 1) << "unsorted";
    EXPECT_EQ(list.AddItem("2 # Caf\xC3\xA9 \xF0\x9F\x98\x80"), 2);
    EXPECT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.ItemText(1), "1 # C/SIDE Application # a");
    EXPECT_EQ(list.ItemText(2), "2 # Caf\xC3\xA9 \xF0\x9F\x98\x80");

    list.SetItemData(0, 0x00010064);
    list.SetItemData(1, -1);  // also the list box's error value
    EXPECT_EQ(list.ItemData(0), 0x00010064);
    EXPECT_EQ(list.ItemData(1), -1);
    EXPECT_EQ(list.ItemData(2), 0);

    for (const ListIndex outside : {ListIndex{-1}, ListIndex{3}, kMaxListEntries}) {
        EXPECT_EQ(list.ItemData(outside), 0) << outside;
        EXPECT_EQ(list.ItemText(outside), "") << outside;
        list.SetItemData(outside, 7);
    }
    EXPECT_EQ(list.ListCount(), 3);

    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.SelectedIndex(), kNoEntry);
}

TEST_F(Win32WindowListTest, SettingTheSelectionRaisesTheChangeEachTime) {
    list.AddItem("a");
    list.AddItem("b");
    EXPECT_EQ(list.SelectedIndex(), kNoEntry);

    struct Step {
        ListIndex set;
        ListIndex selected;
    };
    const Step steps[] = {{0, 0}, {1, 1}, {1, 1}, {kNoEntry, kNoEntry}, {1, 1}, {5, kNoEntry}};
    std::vector<ListIndex> expected;
    for (const Step& step : steps) {
        list.SetSelectedIndex(step.set);
        EXPECT_EQ(list.SelectedIndex(), step.selected) << "after setting " << step.set;
        expected.push_back(step.selected);
    }
    EXPECT_EQ(selectionChanges, expected) << "once per call, already selected or not";
}

}  // namespace
}  // namespace kestrum::win32
