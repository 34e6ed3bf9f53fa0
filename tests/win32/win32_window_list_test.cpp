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
        list.Attach(listBox.Get());
        list.OnSelectionChange([this] { selectionChanges.push_back(list.SelectedIndex()); });
    }

    UniqueWindow listBox;
    Win32WindowList list;
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

// Before the window exists the list is held in memory; attaching a list box
// carries the entries, their values and the selection into it, raising no
// selection change (its handler ran when the selection was made).
TEST(Win32WindowListPendingTest, HoldsEntriesUntilAttachedThenCarriesThemIntoTheListBox) {
    struct Case {
        ListIndex selectedBefore;
        LRESULT selectedInListBox;
    };
    for (const Case& c : {Case{1, 1}, Case{0, 0}, Case{kNoEntry, LB_ERR}, Case{7, LB_ERR}}) {
        Win32WindowList list;
        int changes = 0;
        list.OnSelectionChange([&] { ++changes; });
        EXPECT_EQ(list.AddItem("3 # C/SIDE Application # b"), 0);
        EXPECT_EQ(list.AddItem("1 # C/SIDE Application # a"), 1);
        EXPECT_EQ(list.AddItem("2 # Caf\xC3\xA9 \xF0\x9F\x98\x80"), 2);
        list.SetItemData(0, 0x00010064);
        list.SetItemData(1, -1);
        list.SetItemData(3, 9);  // names no entry
        list.SetSelectedIndex(c.selectedBefore);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(list.ListCount(), 3);
        EXPECT_EQ(list.ItemData(0), 0x00010064);

        UniqueWindow listBox(testing::MakeWindow(L"LISTBOX", L"", nullptr, {0, 0, 200, 200},
                                                 WS_OVERLAPPED | LBS_NOTIFY));
        if (listBox.Get() == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
        list.Attach(listBox.Get());
        const HWND box = listBox.Get();
        EXPECT_EQ(changes, 1) << "carrying the selection raises nothing";
        ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 3);
        const std::wstring texts[] = {L"3 # C/SIDE Application # b", L"1 # C/SIDE Application # a",
                                      L"2 # Caf\u00E9 \U0001F600"};
        const LRESULT values[] = {0x00010064, -1, 0};
        for (int i = 0; i < 3; ++i) {
            wchar_t text[64] = L"";
            SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(std::wstring(text), texts[i]) << i;
            EXPECT_EQ(SendMessageW(box, LB_GETITEMDATA, i, 0), values[i]) << i;
        }
        EXPECT_EQ(SendMessageW(box, LB_GETCURSEL, 0, 0), c.selectedInListBox) << c.selectedBefore;

        // From now on the list box is the list.
        EXPECT_EQ(list.AddItem("d"), 3);
        EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 4);
        SendMessageW(box, LB_DELETESTRING, 0, 0);
        EXPECT_EQ(list.ListCount(), 3);
        EXPECT_EQ(list.ItemText(0), "1 # C/SIDE Application # a");

        // Its window gone, the list starts again empty.
        list.Attach(nullptr);
        EXPECT_EQ(list.ListCount(), 0);
        EXPECT_EQ(list.SelectedIndex(), kNoEntry);
        EXPECT_EQ(list.AddItem("e"), 0);
    }
}

}  // namespace
}  // namespace kestrum::win32
