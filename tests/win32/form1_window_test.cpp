// The main window over real controls: its layout, the start-up roads on
// real windows (and which of them create the window at all), and the
// translation of notifications into Form1's handlers.
#include "ui/win32/form1_window.h"

#include <gtest/gtest.h>

#include <array>
#include <cwchar>
#include <deque>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "discovery/window_discovery.h"
#include "short_of_memory.h"
#include "support/message_log.h"
#include "support/memory_window_list.h"
#include "win32_fixture.h"
#include "winsys/win32_text.h"

namespace kestrum::win32 {
namespace {

using testing::Pump;
using testing::TestClient;

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

std::wstring TextOf(HWND window) {
    std::array<wchar_t, 256> text{};
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

BOOL CALLBACK CountMainWindow(HWND window, LPARAM count) {
    std::array<wchar_t, 64> className{};
    GetClassNameW(window, className.data(), static_cast<int>(className.size()));
    if (TextOf(window) == L"KestrumSize" || std::wcscmp(className.data(), L"KestrumForm1") == 0) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

// Kestrum main windows among the top-level windows of this thread.
int MainWindowsOfThisThread() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountMainWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

class Form1WindowTest : public ::testing::Test {
protected:
    HWND Control(int id) const { return window.Control(id); }
    int Dpi(int axis) const {
        const ScreenDc screen;
        return GetDeviceCaps(screen.Get(), axis);
    }

    Win32WindowSystem system;
    kestrum::testing::MessageLog messages;
    Form1Window window{system, messages, GetModuleHandleW(nullptr)};
};

// The window as start-up shows it with one client to list.
class Form1WindowVisibleTest : public Form1WindowTest {
protected:
    void SetUp() override {
        KESTRUM_REQUIRE_WINDOWS(client);
        ASSERT_EQ(window.Form().Form_Load(""), StartOutcome::Shown);
    }
    TestClient client{L"Client", {200}};
};

struct ControlCase {
    int id;
    const wchar_t* className;
    bool visible;
    bool tabStop;
    int left, top, width, height;  // twips
};

TEST_F(Form1WindowVisibleTest, LaysOutItsControlsInZOrder) {
    const HWND form = window.Handle();
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_EQ(MainWindowsOfThisThread(), 1);
    EXPECT_EQ(TextOf(form), L"KestrumSize");

    const int dpiX = Dpi(LOGPIXELSX);
    const int dpiY = Dpi(LOGPIXELSY);
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, MulDiv(8100, dpiX, 1440));
    EXPECT_EQ(client.bottom, MulDiv(1530, dpiY, 1440));

    // The label just before the field: a screen reader names the field
    // after it.
    const ControlCase controls[] = {
        {kList1Id + 0, L"ListBox", true, true, 120, 120, 7935, 840},
        {kList1Id + 1, L"ListBox", false, false, 120, 480, 7935, 450},
        {kList1Id + 2, L"ListBox", false, false, 120, 480, 7935, 450},
        {kCommand2Id, L"Button", true, true, 3960, 1080, 4095, 375},
        {kLabel1Id, L"Static", true, false, 120, 1200, 735, 255},
        {kText1Id, L"Edit", true, true, 960, 1170, 855, 285},
    };
    HWND child = GetWindow(form, GW_CHILD);
    for (const ControlCase& c : controls) {
        ASSERT_NE(child, nullptr) << c.id;
        EXPECT_EQ(GetDlgCtrlID(child), c.id) << "z-order";
        std::array<wchar_t, 64> className{};
        GetClassNameW(child, className.data(), static_cast<int>(className.size()));
        EXPECT_EQ(_wcsicmp(className.data(), c.className), 0) << c.id;
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        EXPECT_EQ((style & WS_VISIBLE) != 0, c.visible) << c.id;
        EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop) << c.id;
        RECT rect = ScreenRect(child);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, MulDiv(c.left, dpiX, 1440)) << c.id;
        EXPECT_EQ(rect.top, MulDiv(c.top, dpiY, 1440)) << c.id;
        EXPECT_EQ(rect.right - rect.left, MulDiv(c.width, dpiX, 1440)) << c.id;
        EXPECT_EQ(rect.bottom - rect.top, MulDiv(c.height, dpiY, 1440)) << c.id;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(GetWindow(Control(kText1Id), GW_HWNDPREV), Control(kLabel1Id));

    // Tab goes round the list, the button and the field, and nothing else.
    std::vector<int> tabOrder;
    HWND stop = Control(kList1Id);
    for (int i = 0; i < 4; ++i) {
        stop = GetNextDlgTabItem(form, stop, FALSE);
        tabOrder.push_back(GetDlgCtrlID(stop));
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{kCommand2Id, kText1Id, kList1Id, kCommand2Id}));

    const LONG button = GetWindowLongW(Control(kCommand2Id), GWL_STYLE);
    EXPECT_EQ(button & BS_TYPEMASK, BS_PUSHBUTTON) << "not a default button";
    EXPECT_EQ(TextOf(Control(kCommand2Id)), L"Kestrum");
    EXPECT_EQ(TextOf(Control(kLabel1Id)), L"new size:");
    for (int i = 0; i < 3; ++i) {
        const LONG style = GetWindowLongW(Control(kList1Id + i), GWL_STYLE);
        EXPECT_NE(style & LBS_NOTIFY, 0);
        EXPECT_EQ(style & LBS_SORT, 0);
    }
}

// Only the road that shows the window creates it; start-up runs once, before
// it exists, and what it listed is carried into the real controls.
TEST(Form1WindowRoadTest, OnlyTheShownRoadCreatesTheWindowAndItCarriesTheLists) {
    struct Road {
        const char* name;
        std::vector<std::vector<int>> clients;  // each client's pane widths
        const char* arguments;
        StartOutcome outcome;
        std::vector<std::string> messages;
        bool paneVanishes = false;  // the first pane goes just before the reset reads it
    };
    const Road roads[] = {
        {"no client", {}, "/AUTO", StartOutcome::NoClientFound, {"no C/Side Application found"}},
        {"width out of range", {{180}}, "/AUTO /newsize=40000", StartOutcome::WidthOutOfRange,
         {"The width \"/newsize=40000\" is out of range: it must lie between -32768 and 32767."}},
        {"applied", {{180}}, "/AUTO /newsize=250", StartOutcome::AutoApplied, {}},
        {"pane gone by the reset", {{180}}, "/AUTO /newsize=250", StartOutcome::AutoFailed,
         {"NavPane was not found"}, true},
        {"shown", {{200, 150}, {180}}, "/newsize=120", StartOutcome::Shown, {}},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        std::deque<TestClient> clients;
        for (const std::vector<int>& panes : road.clients) {
            clients.emplace_back(L"Client " + std::to_wstring(clients.size()), panes);
            KESTRUM_REQUIRE_WINDOWS(clients.back());
        }
        Win32WindowSystem system;
        kestrum::testing::MessageLog messages;
        testing::g_paneEvents = {0, road.paneVanishes ? clients.front().panes.front() : nullptr};
        Form1Window window(system, messages, GetModuleHandleW(nullptr));

        EXPECT_EQ(window.Form().Form_Load(road.arguments), road.outcome);
        EXPECT_EQ(messages.Texts(), road.messages);
        if (road.outcome != StartOutcome::Shown) {
            EXPECT_EQ(window.Handle(), nullptr);
            EXPECT_EQ(MainWindowsOfThisThread(), 0);
            continue;
        }

        ASSERT_NE(window.Handle(), nullptr);
        EXPECT_TRUE(IsWindowVisible(window.Handle()));
        EXPECT_EQ(MainWindowsOfThisThread(), 1);
        EXPECT_EQ(TextOf(window.Control(kText1Id)), L"120");

        // Read from the list boxes themselves.
        const HWND list0 = window.Control(kList1Id);
        ASSERT_EQ(SendMessageW(list0, LB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageW(list0, LB_GETCURSEL, 0, 0), 0);
        std::vector<WindowHandle> listed;
        for (int i = 0; i < 2; ++i) {
            const auto h = static_cast<WindowHandle>(SendMessageW(list0, LB_GETITEMDATA, i, 0));
            listed.push_back(h);
            const TestClient& client = ToHandle(clients[0].main.Get()) == h ? clients[0] : clients[1];
            ASSERT_EQ(ToHandle(client.main.Get()), h) << "entry " << i;
            std::array<wchar_t, 256> text{};
            SendMessageW(list0, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            EXPECT_EQ(WideToUtf8(text.data()), std::to_string(h) + " # C/SIDE Application # " +
                                                   WideToUtf8(TextOf(client.main.Get())));
        }
        EXPECT_NE(listed[0], listed[1]);
        const TestClient& selected =
            ToHandle(clients[0].main.Get()) == listed[0] ? clients[0] : clients[1];
        // As many reads of the panes' texts as one listing of them makes.
        const int readsByStartUp = std::exchange(testing::g_paneEvents.textReads, 0);
        MemoryWindowList panes;
        ListWindows(system, panes, kModePanes, ToHandle(selected.main.Get()));
        EXPECT_EQ(readsByStartUp, testing::g_paneEvents.textReads)
            << "List1_Click ran once, before the window";
        const HWND list2 = window.Control(kList1Id + 2);
        ASSERT_EQ(SendMessageW(list2, LB_GETCOUNT, 0, 0),
                  static_cast<LRESULT>(selected.panes.size()));
        for (std::size_t i = 0; i < selected.panes.size(); ++i) {
            EXPECT_EQ(static_cast<WindowHandle>(SendMessageW(list2, LB_GETITEMDATA, i, 0)),
                      ToHandle(selected.panes[i]));
        }
    }
}

// The pane keeps its logical place in its parent: in a client laid out
// right to left that is its right edge on screen, and it grows to the left.
TEST(Form1WindowAutoTest, SetsThePaneWidthKeepingItsLogicalPlace) {
    for (const bool mirrored : {false, true}) {
        SCOPED_TRACE(mirrored ? "mirrored client" : "plain client");
        TestClient client(L"Client", {180}, false, mirrored);
        KESTRUM_REQUIRE_WINDOWS(client);
        const HWND pane = client.panes[0];
        const RECT before = ScreenRect(pane);
        Win32WindowSystem system;
        kestrum::testing::MessageLog messages;
        Form1Window window(system, messages, GetModuleHandleW(nullptr));

        EXPECT_EQ(window.Form().Form_Load("/AUTO /newsize=250"), StartOutcome::AutoApplied);

        const RECT after = ScreenRect(pane);
        EXPECT_EQ(mirrored ? after.right : after.left, mirrored ? before.right : before.left);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.bottom, before.bottom);
        EXPECT_EQ(after.right - after.left, 250);
        RECT logical = after;
        MapWindowPoints(nullptr, client.frame, reinterpret_cast<POINT*>(&logical), 2);
        EXPECT_EQ(logical.left, 10) << "its place in the frame, as the client set it";
        EXPECT_EQ(logical.top, 20);
        EXPECT_TRUE(messages.Texts().empty());
        EXPECT_EQ(window.Handle(), nullptr);
    }
}

TEST_F(Form1WindowVisibleTest, GainingFocusSelectsTheWholeFieldSurrogatePairsIncluded) {
    const HWND text1 = Control(kText1Id);
    // a, one pair of UTF-16 units, b, é: five units.
    for (const wchar_t* text : {L"a\U0001F600b\u00E9", L"", L"300"}) {
        SetWindowTextW(text1, text);
        SendMessageW(text1, EM_SETSEL, 1, 1);
        window.Form().Text1_GotFocus();
        DWORD from = 9;
        DWORD to = 9;
        SendMessageW(text1, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, static_cast<DWORD>(std::wcslen(text)));
    }
}

class Form1WindowShownTest : public Form1WindowTest {
protected:
    void SetUp() override {
        if (!first.Made() || !second.Made()) GTEST_SKIP() << "no windows can be made here";
        ASSERT_EQ(window.Form().Form_Load("/newsize=120"), StartOutcome::Shown);
        ASSERT_NE(window.Handle(), nullptr);
        window.FocusFirstControl();
        Pump();
    }
    ListIndex Count(ListIndex list) { return window.Form().List1(list).ListCount(); }
    WindowHandle SelectedClient() {
        WindowList& clients = window.Form().List1(0);
        return clients.ItemData(clients.SelectedIndex());
    }
    void Notify(int id, int code) {
        SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    int PaneWidth(HWND pane) {
        const RECT rect = ScreenRect(pane);
        return rect.right - rect.left;
    }
    TestClient& ClientOf(WindowHandle h) { return ToHandle(first.main.Get()) == h ? first : second; }

    TestClient first{L"First", {200, 150}};
    TestClient second{L"Second", {}};
};

TEST_F(Form1WindowShownTest, ShowsTheClientsWithTheFirstSelected) {
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_EQ(GetFocus(), Control(kList1Id)) << "focus starts on List1(0)";
    EXPECT_EQ(Count(0), 2);
    EXPECT_EQ(window.Form().List1(0).SelectedIndex(), 0);
    const WindowHandle selected = SelectedClient();
    EXPECT_EQ(Count(2), static_cast<ListIndex>(ClientOf(selected).panes.size()));
    const std::string expected = std::to_string(selected) + " # C/SIDE Application # " +
                                 WideToUtf8(TextOf(ClientOf(selected).main.Get()));
    EXPECT_EQ(window.Form().List1(0).ItemText(0), expected);
    EXPECT_FALSE(IsWindowVisible(Control(kList1Id + 1)));
    EXPECT_FALSE(IsWindowVisible(Control(kList1Id + 2)));
}

TEST_F(Form1WindowShownTest, SelectionChangeAndDoubleClickReachTheHandlers) {
    const HWND list = Control(kList1Id);
    SendMessageW(list, LB_SETCURSEL, 1, 0);  // raises nothing by itself
    Notify(kList1Id, LBN_SELCHANGE);
    const WindowHandle selected = SelectedClient();
    EXPECT_EQ(Count(2), static_cast<ListIndex>(ClientOf(selected).panes.size()));

    const HWND main = ClientOf(selected).main.Get();
    Notify(kList1Id, LBN_DBLCLK);
    EXPECT_FALSE(IsWindowEnabled(main));
    Notify(kList1Id, LBN_DBLCLK);
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(Form1WindowShownTest, EnterAndEscapeDoNotPressTheButton) {
    // Select the client without panes: a press of the button would report it.
    WindowList& clients = window.Form().List1(0);
    for (ListIndex i = 0; i < clients.ListCount(); ++i) {
        if (ClientOf(clients.ItemData(i)).panes.empty()) clients.SetSelectedIndex(i);
    }
    Notify(IDOK, BN_CLICKED);
    Notify(IDCANCEL, BN_CLICKED);
    EXPECT_TRUE(messages.Texts().empty());
    Notify(kCommand2Id, BN_CLICKED);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"NavPane was not found"});
}

// A failure inside the window's procedure or the field's is carried out of
// it: the message loop ends and hands it on (main makes it exit status 3),
// instead of the program going on as if nothing had happened.
class Form1WindowFailureTest : public Form1WindowShownTest {
protected:
    static void CALLBACK EndTheLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }
    // The loop as main runs it, with a guard that ends it should the failure
    // not have ended it.
    void ExpectTheLoopToEndWithTheFailure() {
        const UINT_PTR guard = SetTimer(nullptr, 0, 3000, EndTheLoop);
        EXPECT_THROW(window.RunMessageLoop(), std::bad_alloc);
        KillTimer(nullptr, guard);
        EXPECT_THROW(window.RethrowFailure(), std::bad_alloc);
    }
};

TEST_F(Form1WindowFailureTest, OutOfMemoryInTheWindowProcedureEndsTheLoop) {
    WindowList& clients = window.Form().List1(0);
    for (ListIndex i = 0; i < clients.ListCount(); ++i) {
        if (ClientOf(clients.ItemData(i)).panes.empty()) clients.SetSelectedIndex(i);
    }
    // The button reports the missing pane, and recording the report fails.
    {
        const testing::ShortOfMemory shortOfMemory;
        Notify(kCommand2Id, BN_CLICKED);
    }
    ExpectTheLoopToEndWithTheFailure();
}

TEST_F(Form1WindowFailureTest, OutOfMemoryInTheFieldsProcedureEndsTheLoop) {
    const HWND text1 = Control(kText1Id);
    SetFocus(text1);
    Pump();
    SetWindowTextW(text1, (L"180" + std::wstring(60, L'x')).c_str());
    // Leaving the field validates it, and reading its text fails.
    {
        const testing::ShortOfMemory shortOfMemory;
        SetFocus(Control(kCommand2Id));
    }
    EXPECT_EQ(GetFocus(), Control(kCommand2Id)) << "the field let the focus go all the same";
    ExpectTheLoopToEndWithTheFailure();
}

TEST_F(Form1WindowShownTest, WidthFieldSelectsOnFocusAndValidatesOnlyForItsOwnControls) {
    const HWND text1 = Control(kText1Id);
    SetFocus(text1);
    Pump();
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(text1, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u) << "the whole of 120";

    // Leaving for another application's window (here: a client) validates nothing.
    SetWindowTextW(text1, L" 9 9x");
    ShowWindow(first.main.Get(), SW_SHOW);
    SetFocus(first.main.Get());
    Pump();
    EXPECT_EQ(TextOf(text1), L" 9 9x");
    EXPECT_EQ(window.Form().NewSize, 120);

    // Clicking the button validates first, so the reset uses the typed width.
    WindowList& clients = window.Form().List1(0);
    for (ListIndex i = 0; i < clients.ListCount(); ++i) {
        if (clients.ItemData(i) == ToHandle(first.main.Get())) clients.SetSelectedIndex(i);
    }
    SetActiveWindow(window.Handle());
    SetFocus(text1);
    Pump();
    SetWindowTextW(text1, L"180abc");
    SetFocus(Control(kCommand2Id));
    EXPECT_EQ(TextOf(text1), L"180");
    EXPECT_EQ(window.Form().NewSize, 180);

    Notify(kCommand2Id, BN_CLICKED);
    EXPECT_EQ(PaneWidth(first.panes[0]), 180);
    EXPECT_EQ(PaneWidth(first.panes[1]), 150) << "only the first pane";
}

}  // namespace
}  // namespace kestrum::win32
