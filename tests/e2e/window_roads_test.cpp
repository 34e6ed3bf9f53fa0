// Roads a user takes in Kestrum's window, with the mouse and the keyboard:
// the list, the field, the button, double-clicks, and a client that hangs,
// drops its pane or ends meanwhile. Each road ends with Kestrum still
// running, and closing its window ends it with status 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "desktop.h"
#include "input.h"
#include "kestrum_window.h"
#include "message_box.h"
#include "road_fixture.h"

namespace e2e {
namespace {

class WindowRoadTest : public RoadTest {
protected:
    // Starts the client and Kestrum with `args`, and waits for Kestrum's
    // window and its controls.
    void Open(const Layout& layout, const std::wstring& args = L"") {
        ASSERT_NO_FATAL_FAILURE(StartClient(layout));
        ASSERT_TRUE(kestrum.Start(args)) << "kestrum.exe did not start";
        kestrum.Resume();
        main = kestrum.WaitForMainWindow(15000);
        ASSERT_NE(main, nullptr) << "Kestrum's window was not shown within 15 s";
        ASSERT_TRUE(WaitUntil([&] { return KestrumWindow(main).Complete(); }, 5000))
            << "Kestrum's window lacks one of its list, its field and its button";
        SetForegroundWindow(main);
        kestrum.Settle();
        opened_ = true;
    }

    void TearDown() override {
        if (!opened_ || closedByTheRoad) return;
        EXPECT_TRUE(kestrum.Running())
            << "Kestrum ended during the road, with status " << kestrum.ExitStatus();
        if (kestrum.Running()) kestrum.Close(main);
    }

    // Presses the button twice with no pane to find: each time a message
    // says so, and the window stays.
    void PressTheButtonWithoutAPane() {
        const KestrumWindow c(main);
        for (int press = 1; press <= 2; ++press) {
            Click(CenterOf(c.button));
            const HWND box = kestrum.WaitForMessageBox(5000);
            ASSERT_NE(box, nullptr) << "press " << press << " of the button showed no message box";
            AnswerBox(box, kNoPane);
            EXPECT_TRUE(IsWindowVisible(main)) << "Kestrum's window gone after the message";
        }
    }

    HWND main = nullptr;
    bool closedByTheRoad = false;  // the road closes the window itself

private:
    bool opened_ = false;
};

const Layout kOne = OneClient(L"Orders", 220);

const std::wstring kLongTitle = [] {
    std::wstring t = L"A long title:";
    for (int i = 0; i < 100; ++i) t += L" 0123456789";
    return t;
}();

// The list shows every client, in the window manager's order, as "handle #
// class # title", with the first selected; the field starts at 300.
struct ListRoad {
    std::string_view name;
    Layout layout;  // titles only: every window a client
};

void PrintTo(const ListRoad& road, std::ostream* os) { *os << road.name; }

class ListRoadTest : public WindowRoadTest, public ::testing::WithParamInterface<ListRoad> {};

TEST_P(ListRoadTest, ListsEveryClientAndSelectsTheFirst) {
    const Layout& layout = GetParam().layout;
    ASSERT_NO_FATAL_FAILURE(Open(layout));
    const KestrumWindow c(main);
    EXPECT_EQ(c.visibleLists, 1) << "visible list boxes";
    EXPECT_EQ(Narrow(c.label), "new size:") << "the field's label";
    EXPECT_EQ(Narrow(TextOf(c.field)), "300") << "the field at start";
    // The titles as the layout gave them, by window in the client's order.
    std::map<HWND, std::wstring> titles;
    for (std::size_t i = 0, w = 0; i + 1 < layout.size(); ++i) {
        if (layout[i] == L"--window" && w < client.windows.size())
            titles[client.windows[w++]] = layout[i + 1];
    }
    std::vector<std::string> expected;
    for (HWND h : ClientWindowsOnDesktop()) {  // in the window manager's own order
        expected.push_back(
            Narrow(std::to_wstring(HandleValue(h)) + L" # C/SIDE Application # " + titles[h]));
    }
    EXPECT_EQ(expected.size(), titles.size()) << "clients on the desktop";
    std::vector<std::string> seen;
    for (const std::wstring& entry : c.Entries()) seen.push_back(Narrow(entry));
    EXPECT_EQ(seen, expected) << "the list's entries";
    EXPECT_EQ(c.Selected(), 0L) << "entry selected";
    CheckPanes(nullptr, 0);
}

const ListRoad kListRoads[] = {
    // In the system code page of a Western European setting, beyond ASCII
    // and beyond Latin-1 (the dash).
    {.name = "EmptyAccentedAndLongTitles",
     .layout = {L"--window", L"", L"--window", L"Gr\u00f6\u00dfe \u2013 Caf\u00e9", L"--window",
                kLongTitle}},
    // Cyrillic, Chinese and Latin: "Заказы 中文 Größe", which no single code
    // page holds.
    {.name = "TitleInThreeScripts",
     .layout = {L"--window", L"\u0417\u0430\u043a\u0430\u0437\u044b \u4e2d\u6587 Gr\u00f6\u00dfe"}},
};

INSTANTIATE_TEST_SUITE_P(Window, ListRoadTest, ::testing::ValuesIn(kListRoads),
                         [](const auto& info) { return std::string(info.param.name); });

// What a user does with the field: types a text, then leaves the field.
struct FieldStep {
    std::wstring typed;
    bool leaveByButton = false;  // else by Tab
    std::wstring shown;          // the field's text afterwards
};

// Selects a client in the list with the keyboard, works the field, then
// presses the button: that client's first pane gets the width, and no other
// pane moves.
struct FieldRoad {
    std::string_view name;
    Layout layout;
    std::wstring args;
    std::vector<FieldStep> steps;
    int client = 0;  // the main window the road works on, in list order
    int width = 0;   // its first pane's width after the road
};

void PrintTo(const FieldRoad& road, std::ostream* os) { *os << road.name; }

class FieldRoadTest : public WindowRoadTest, public ::testing::WithParamInterface<FieldRoad> {};

TEST_P(FieldRoadTest, TheButtonSetsTheSelectedClientsPane) {
    const FieldRoad& road = GetParam();
    ASSERT_NO_FATAL_FAILURE(Open(road.layout, road.args));
    const KestrumWindow c(main);
    Click(c.EntryPoint(0));
    for (int i = 0; i < road.client; ++i) PressKey(VK_DOWN);
    kestrum.Settle();
    EXPECT_EQ(c.Selected(), static_cast<long>(road.client)) << "entry selected";
    bool pressed = false;
    for (const FieldStep& step : road.steps) {
        Click(CenterOf(c.field));
        kestrum.Settle();
        Type(step.typed);
        kestrum.Settle();
        if (step.leaveByButton) {
            Click(CenterOf(c.button));
        } else {
            PressKey(VK_TAB);
        }
        pressed = step.leaveByButton;
        kestrum.Settle();
        WaitUntil([&] { return TextOf(c.field) == step.shown; }, 2000);
        EXPECT_EQ(Narrow(TextOf(c.field)), Narrow(step.shown))
            << "the field after typing \"" << Narrow(step.typed) << "\"";
    }
    if (!pressed) Click(CenterOf(c.button));
    kestrum.Settle();
    const std::vector<HWND> clients = ClientWindowsOnDesktop();  // in list order
    ASSERT_LT(static_cast<std::size_t>(road.client), clients.size()) << "clients on the desktop";
    const HWND pane = FirstPane(clients[static_cast<std::size_t>(road.client)]);
    WaitUntil([&] { return WidthOf(pane) == road.width; }, 3000);
    CheckPanes(pane, road.width);
}

const FieldRoad kFieldRoads[] = {
    {.name = "SecondClientThenTheButton",
     .layout = {L"--window", L"First", L"--pane", L"1,10,10,200,100", L"--window", L"Second",
                L"--pane", L"0,20,30,210,120", L"--pane", L"2,15,12,190,80"},
     .client = 1, .width = 300},
    {.name = "WidthTypedThenTheButton", .layout = kOne,
     .steps = {{.typed = L"180", .leaveByButton = true, .shown = L"180"}}, .width = 180},
    // Each text left by Tab: what the field keeps of it, or the last good width.
    {.name = "MessyFieldInput", .layout = kOne, .args = L"/newsize=250",
     .steps = {{.typed = L" 3 0 0 ", .shown = L"300"}, {.typed = L"12abc", .shown = L"12"},
               {.typed = L"500", .shown = L"12"}, {.typed = L"0", .shown = L"12"},
               {.typed = L"\b", .shown = L"12"}},
     .width = 12},
};

INSTANTIATE_TEST_SUITE_P(Window, FieldRoadTest, ::testing::ValuesIn(kFieldRoads),
                         [](const auto& info) { return std::string(info.param.name); });

// Focus starts on the list, Tab goes round list, button, field; tabbing into
// the field selects its text; Enter in the field presses no button.
TEST_F(WindowRoadTest, TabGoesRoundAndEnterPressesNothing) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    const KestrumWindow c(main);
    // A screen reader names the field after the static just before it.
    const HWND beforeField = GetWindow(c.field, GW_HWNDPREV);
    EXPECT_TRUE(beforeField != nullptr && beforeField == c.labelWindow)
        << "the control before the field in z-order should be the label; it is "
        << (beforeField ? Narrow(ClassOf(beforeField)) + " \"" + Narrow(TextOf(beforeField)) + "\""
                        : "none");
    EXPECT_EQ(c.NameOf(FocusIn(main)), c.NameOf(c.list)) << "focus at start";
    for (HWND next : {c.button, c.field, c.list, c.button, c.field}) {
        PressKey(VK_TAB);
        kestrum.Settle();
        WaitUntil([&] { return FocusIn(main) == next; }, 2000);
        EXPECT_EQ(c.NameOf(FocusIn(main)), c.NameOf(next)) << "focus after Tab";
    }
    DWORD_PTR selection = 0;
    SendMessageTimeoutW(c.field, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
    EXPECT_EQ(std::to_string(LOWORD(selection)) + ".." + std::to_string(HIWORD(selection)),
              "0.." + std::to_string(TextOf(c.field).size()))
        << "the field's selection after Tab: all of its text";
    Type(L"180");
    PressKey(VK_RETURN);
    kestrum.Settle();
    Sleep(300);
    CheckPanes(nullptr, 0);
}

TEST_F(WindowRoadTest, ButtonWithoutAPaneSaysSo) {
    ASSERT_NO_FATAL_FAILURE(Open({L"--window", L"Orders"}));
    PressTheButtonWithoutAPane();
}

// The client drops its pane while Kestrum's window is up: the button says
// so each time, and the window stays.
TEST_F(WindowRoadTest, PaneGoneBeforeTheButton) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    ASSERT_FALSE(client.panes.empty());
    const std::string handle = std::to_string(HandleValue(client.panes.front()));
    client.Command("destroy " + handle);
    ASSERT_TRUE(client.Expect("destroyed " + handle, 5000)) << "the client's pane was not destroyed";
    PressTheButtonWithoutAPane();
    EXPECT_TRUE(IsWindow(client.windows.front())) << "the client's main window is gone";
}

TEST_F(WindowRoadTest, DoubleClickTogglesEnabled) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    const KestrumWindow c(main);
    const HWND target = client.windows.front();
    for (const bool enabled : {false, true}) {
        Click(c.EntryPoint(0), 2);
        kestrum.Settle();
        WaitUntil([&] { return (IsWindowEnabled(target) != FALSE) == enabled; }, 3000);
        EXPECT_EQ(IsWindowEnabled(target) != FALSE, enabled) << "client enabled after a double-click";
    }
}

// A double-click on a client that does not answer: Kestrum says so at once,
// and leaves the client as it was.
TEST_F(WindowRoadTest, DoubleClickOnAHungClient) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    const KestrumWindow c(main);
    const HWND target = client.windows.front();
    client.Command("hang 6000");
    ASSERT_TRUE(client.Expect("hanging", 5000)) << "the client did not say it hangs";
    const double clicked = Seconds();
    Click(c.EntryPoint(0), 2);
    const HWND box = kestrum.WaitForMessageBox(4000);
    const double took = Seconds() - clicked;
    EXPECT_NE(box, nullptr) << "a double-click on a hung client showed no message box";
    if (box != nullptr) {
        EXPECT_LT(took, 2.0) << "the message came " << took << " s after the double-click";
        AnswerBox(box, L"The window is not responding; its state was not changed.");
    }
    EXPECT_TRUE(client.Expect("awake", 10000)) << "the client did not wake";
    EXPECT_TRUE(IsWindowEnabled(target)) << "the client was disabled by the double-click";
    EXPECT_TRUE(kestrum.Responsive(main)) << "Kestrum's window does not answer";
}

// A client that answers Kestrum's "are you there" and stops answering right
// after (busy for 12 s): the window goes on taking keys, says that the change
// comes when the client answers, and it does.
TEST_F(WindowRoadTest, DoubleClickOnAClientThatStopsAnsweringOnceAsked) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    const KestrumWindow c(main);
    const HWND target = client.windows.front();
    client.Command("hang-once-asked 12000");
    ASSERT_TRUE(client.Expect("armed", 5000));
    Click(c.EntryPoint(0), 2);
    ASSERT_TRUE(client.Expect("hanging", 5000)) << "the client was never asked";
    const double hung = Seconds();
    const HWND box = kestrum.WaitForMessageBox(4000);
    ASSERT_NE(box, nullptr) << "no message box within 4 s of the double-click";
    AnswerBox(box, L"The window stopped responding: its state will change when it answers, while Kestrum is open.");
    Click(CenterOf(c.field));
    Type(L"7");
    EXPECT_TRUE(WaitUntil([&] { return TextOf(c.field).find(L'7') != std::wstring::npos; }, 1000))
        << "a key typed into the field did not reach it within a second";
    EXPECT_LT(Seconds() - hung, 8.0) << "all of it while the client still hangs";
    ASSERT_TRUE(client.Expect("awake", 15000)) << "the client did not wake";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(target) == FALSE; }, 3000))
        << "the change asked for was not made once the client answered";
    EXPECT_TRUE(kestrum.Responsive(main));
}

// Closed while a width waits on a client that does not answer, Kestrum ends
// at once, and no box of it is shown or left once its window is gone.
TEST_F(WindowRoadTest, ClosedWhileAWidthWaitsOnAHungClient) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    const KestrumWindow c(main);
    client.Command("hang 5000");
    ASSERT_TRUE(client.Expect("hanging", 5000));
    Click(CenterOf(c.button));
    Sleep(300);
    const double closing = Seconds();
    closedByTheRoad = true;
    PostMessageW(main, WM_CLOSE, 0, 0);
    bool boxSeen = false;
    while (!kestrum.WaitExit(5) && Seconds() - closing < 5) boxSeen = boxSeen || kestrum.MessageBoxWindow() != nullptr;
    const double took = Seconds() - closing;
    EXPECT_FALSE(kestrum.Running()) << "still running 5 s after its window was closed";
    EXPECT_LT(took, 0.6) << "it ended " << took << " s after its window was closed";
    EXPECT_FALSE(boxSeen) << "a message box of it was there after its window was closed";
    EXPECT_EQ(kestrum.ExitStatus(), 0L);
    EXPECT_TRUE(client.Expect("awake", 10000));
}

// The client drops its pane and makes a new one while Kestrum's window is
// up: the button finds the new one and sets its width, and says nothing.
TEST_F(WindowRoadTest, PaneReplacedBeforeTheButton) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    ASSERT_FALSE(client.panes.empty());
    const HWND old = client.panes.front();
    client.Command("replace " + std::to_string(HandleValue(old)));
    HWND pane = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        pane = FirstPane(client.windows.front());
        return pane != nullptr && pane != old;
    }, 5000)) << "the client's pane was not replaced";
    const RECT was = RectOf(pane);
    const KestrumWindow c(main);
    Click(CenterOf(c.button));
    kestrum.Settle();
    WaitUntil([&] { return WidthOf(pane) == 300; }, 3000);
    RECT want = was;
    want.right = want.left + 300;
    EXPECT_EQ(RectText(RectOf(pane)), RectText(want)) << "the new pane's rectangle";
    Sleep(300);
    const HWND box = kestrum.MessageBoxWindow();
    EXPECT_EQ(box, nullptr) << "a message box: \"" << (box ? Narrow(ReadBox(box).text) : "") << "\"";
    if (box != nullptr) PostMessageW(box, WM_CLOSE, 0, 0);
}

TEST_F(WindowRoadTest, ClientClosedAfterStart) {
    ASSERT_NO_FATAL_FAILURE(Open(kOne));
    const KestrumWindow c(main);
    ASSERT_TRUE(client.Quit()) << "the client still running";
    Click(CenterOf(c.button));
    const HWND box = kestrum.WaitForMessageBox(5000);
    EXPECT_NE(box, nullptr) << "the button with the client closed showed no message box";
    if (box != nullptr) AnswerBox(box, kNoPane);
    Click(c.EntryPoint(0), 2);
    kestrum.Settle();
    EXPECT_TRUE(kestrum.Responsive(main)) << "Kestrum's window does not answer after the double-click";
    EXPECT_EQ(c.Entries().size(), 1u) << "entries listed";
}

}  // namespace
}  // namespace e2e
