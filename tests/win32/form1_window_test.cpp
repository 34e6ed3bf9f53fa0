// The main window over real controls: the view of Form1's state, the
// start-up roads on real windows (and which of them make the window at all),
// the translation of notifications into Form1's handlers, and the run's end
// on a failure.
#include "ui/win32/form1_window.h"

#include <gtest/gtest.h>

#include <array>
#include <cwchar>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "app/run.h"
#include "short_of_memory.h"
#include "support/recording_message_boxes.h"
#include "ui/list_windows.h"
#include "win32_fixture.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

using testing::LoadAndWait;
using testing::Pump;
using testing::PumpUntil;
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

// Form1 after start-up, and its window, made as the run makes it.
class Form1WindowTest : public ::testing::Test {
protected:
    // Runs start-up; the window is made when the form is to be seen.
    void Load(const char* arguments) {
        ASSERT_EQ(LoadAndWait(form, plan, arguments), StartOutcome::Shown);
        window = std::make_unique<Form1Window>(form, GetModuleHandleW(nullptr));
        ASSERT_NE(window->Handle(), nullptr);
    }
    HWND Control(int id) const { return window->Control(id); }

    Win32WindowSystem system;
    kestrum::testing::RecordingMessageBoxes messages;
    Win32Timers timers;
    StartPlan plan;
    RunLog log{nullptr};
    Form1 form{system, messages, timers, plan, log};
    std::unique_ptr<Form1Window> window;
};

// The window as start-up shows it with one client to list.
class Form1WindowVisibleTest : public Form1WindowTest {
protected:
    void SetUp() override {
        KESTRUM_REQUIRE_WINDOWS(client);
        Load("");
    }
    TestClient client{L"Client", {200}};
};

// One list box (the form's other lists have no control), the button, the
// label just before the field (a screen reader names the field after it), in
// the tab order list, button, field; the button is no default button.
TEST_F(Form1WindowVisibleTest, HasItsControlsInTabOrderAndOneListBox) {
    const HWND form1 = window->Handle();
    EXPECT_TRUE(IsWindowVisible(form1));
    EXPECT_EQ(MainWindowsOfThisThread(), 1);
    EXPECT_EQ(TextOf(form1), L"KestrumSize");
    std::vector<int> ids;
    for (HWND child = GetWindow(form1, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(ids, (std::vector<int>{kList1Id, kCommand2Id, kLabel1Id, kText1Id}));

    std::vector<int> tabOrder;
    HWND stop = Control(kList1Id);
    for (int i = 0; i < 4; ++i) {
        stop = GetNextDlgTabItem(form1, stop, FALSE);
        tabOrder.push_back(GetDlgCtrlID(stop));
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{kCommand2Id, kText1Id, kList1Id, kCommand2Id}));
    const LONG button = GetWindowLongW(Control(kCommand2Id), GWL_STYLE);
    EXPECT_EQ(button & BS_TYPEMASK, BS_PUSHBUTTON) << "not a default button";
    EXPECT_EQ(TextOf(Control(kLabel1Id)), L"new size:");
    EXPECT_EQ(GetWindowLongW(Control(kList1Id), GWL_STYLE) & (LBS_NOTIFY | LBS_SORT), LBS_NOTIFY);
}

// At the system's font and resolution (run at 96, 120 and 144 dpi) the
// label shows the whole of its text, and stands clear of the field it names.
TEST_F(Form1WindowVisibleTest, TheLabelShowsItsWholeText) {
    const HWND label = Control(kLabel1Id);
    const std::wstring text = TextOf(label);
    const HDC dc = GetDC(label);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE needed{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    RECT room{};
    GetClientRect(label, &room);
    EXPECT_GE(room.right, needed.cx) << "the label needs " << needed.cx << " pixels for \"new size:\"";
    EXPECT_LE(ScreenRect(label).right, ScreenRect(Control(kText1Id)).left) << "the label runs into the field";
    EXPECT_LE(ScreenRect(Control(kText1Id)).right, ScreenRect(Control(kCommand2Id)).left);
}

// The message boxes a run asked for, recorded instead of shown; a box can be
// made to fail, as when memory runs out while it is asked for.
std::vector<std::wstring> g_boxes;
bool g_boxesFail = false;

int WINAPI RecordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    g_boxes.emplace_back(text);
    if (g_boxesFail) throw std::bad_alloc();
    return IDOK;
}

// A run as main makes it, its boxes recorded (and failing, when asked to).
struct RecordedRun {
    explicit RecordedRun(bool boxesFail) {
        g_boxes.clear();
        g_boxesFail = boxesFail;
    }
    int Run(const char* arguments) {
        plan = PlanStart(arguments, nullptr, true);
        return win32::Run(form, boxes, timers, GetModuleHandleW(nullptr));
    }

    Win32WindowSystem system;
    Win32MessageBoxes boxes{RecordBox};
    Win32Timers timers;
    StartPlan plan;
    RunLog log{nullptr};
    Form1 form{system, boxes, timers, plan, log};
};

// The roads that end at start-up end the run with their status, and no
// window is made for them.
TEST(RunTest, TheRoadsThatEndAtStartUpMakeNoWindow) {
    struct StartUpEnding {
        const char* name;
        std::vector<int> panes;  // of the one client; none: no client
        const char* arguments;
        int status;
        std::vector<std::wstring> messages;
    };
    const StartUpEnding endings[] = {
        {"no client", {}, "/AUTO", kExitNoClient, {L"no C/Side Application found"}},
        {"applied", {180}, "/AUTO /newsize=250", kExitNormal, {}},
    };
    for (const StartUpEnding& road : endings) {
        SCOPED_TRACE(road.name);
        std::unique_ptr<TestClient> client;
        if (!road.panes.empty()) {
            client = std::make_unique<TestClient>(L"Client", road.panes);
            KESTRUM_REQUIRE_WINDOWS(*client);
        }
        RecordedRun run(false);
        EXPECT_EQ(run.Run(road.arguments), road.status);
        EXPECT_EQ(g_boxes, road.messages);
        EXPECT_FALSE(run.form.Visible);
    }
}

// The window shows what start-up found: the clients in the list box, with
// their handles, the first one selected, and the width in the field; the
// selection made at start-up refreshed the panes once, before the window.
TEST(Form1WindowRoadTest, TheShownWindowIsMadeFromTheFormsState) {
    std::deque<TestClient> clients;
    clients.emplace_back(L"Client 0", std::vector<int>{200, 150});
    clients.emplace_back(L"Client 1", std::vector<int>{180});
    for (const TestClient& client : clients) KESTRUM_REQUIRE_WINDOWS(client);
    Win32WindowSystem system;
    kestrum::testing::RecordingMessageBoxes messages;
    Win32Timers timers;
    StartPlan plan;
    RunLog log(nullptr);
    Form1 form(system, messages, timers, plan, log);
    testing::g_paneEvents = {};
    ASSERT_EQ(LoadAndWait(form, plan, "/newsize=120"), StartOutcome::Shown);
    const int readsByStartUp = std::exchange(testing::g_paneEvents.textReads, 0);
    const Form1Window window(form, GetModuleHandleW(nullptr));

    ASSERT_NE(window.Handle(), nullptr);
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_EQ(TextOf(window.Control(kText1Id)), L"120");
    const HWND list0 = window.Control(kList1Id);
    const WindowList& listed = form.List1(0);
    ASSERT_EQ(SendMessageW(list0, LB_GETCOUNT, 0, 0), listed.ListCount());
    ASSERT_EQ(listed.ListCount(), 2);
    EXPECT_EQ(SendMessageW(list0, LB_GETCURSEL, 0, 0), 0);
    for (ListIndex i = 0; i < listed.ListCount(); ++i) {
        std::array<wchar_t, 256> text{};
        SendMessageW(list0, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        EXPECT_EQ(WideToUtf8(text.data()), listed.ItemText(i));
        EXPECT_EQ(static_cast<WindowHandle>(SendMessageW(list0, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)),
                  listed.ItemData(i));
    }
    const TestClient& selected = ToHandle(clients[0].main.Get()) == listed.ItemData(0) ? clients[0] : clients[1];
    // As many reads of the panes' texts as one listing of them makes.
    WindowList panes;
    ListWindows(system, panes, kModePanes, ToHandle(selected.main.Get()));
    EXPECT_EQ(readsByStartUp, testing::g_paneEvents.textReads) << "List1_Click ran once";
    EXPECT_EQ(form.List1(2).ListCount(), static_cast<ListIndex>(selected.panes.size()));
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
        kestrum::testing::RecordingMessageBoxes messages;
        Win32Timers timers;
        StartPlan plan;
        RunLog log(nullptr);
        Form1 form(system, messages, timers, plan, log);

        EXPECT_EQ(LoadAndWait(form, plan, "/AUTO /newsize=250"), StartOutcome::AutoApplied);

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
        EXPECT_FALSE(form.Visible);
    }
}

TEST_F(Form1WindowVisibleTest, GainingFocusSelectsTheWholeFieldSurrogatePairsIncluded) {
    const HWND text1 = Control(kText1Id);
    // a, one pair of UTF-16 units, b, é: five units.
    for (const wchar_t* text : {L"a\U0001F600b\u00E9", L"", L"300"}) {
        SetWindowTextW(text1, text);
        SendMessageW(text1, EM_SETSEL, 1, 1);
        form.Text1_GotFocus();
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
        Load("/newsize=120");
        window->FocusFirstControl();
        Pump();
    }
    ListIndex Count(ListIndex list) { return form.List1(list).ListCount(); }
    WindowHandle SelectedClient() { return form.List1(0).ItemData(form.List1(0).SelectedIndex()); }
    void Notify(int id, int code) {
        SendMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    // Selects, from code, the client without panes: the button would report it.
    void SelectClientWithoutPanes() {
        for (ListIndex i = 0; i < Count(0); ++i) {
            if (ClientOf(form.List1(0).ItemData(i)).panes.empty()) form.List1(0).SetSelectedIndex(i);
        }
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
    EXPECT_EQ(GetFocus(), Control(kList1Id)) << "focus starts on List1(0)";
    EXPECT_EQ(Count(0), 2);
    EXPECT_EQ(form.List1(0).SelectedIndex(), 0);
    const WindowHandle selected = SelectedClient();
    EXPECT_EQ(Count(2), static_cast<ListIndex>(ClientOf(selected).panes.size()));
    const std::string expected = std::to_string(selected) + " # C/SIDE Application # " +
                                 WideToUtf8(TextOf(ClientOf(selected).main.Get()));
    EXPECT_EQ(form.List1(0).ItemText(0), expected);
}

// The user's selection reaches the form by one road: the list box's change
// notification sets the form's selection, which refreshes the panes once. A
// selection the form makes itself is shown in the list box.
TEST_F(Form1WindowShownTest, SelectionChangeAndDoubleClickReachTheHandlers) {
    const HWND list = Control(kList1Id);
    SendMessageW(list, LB_SETCURSEL, 1, 0);  // raises nothing by itself
    testing::g_paneEvents = {};
    Notify(kList1Id, LBN_SELCHANGE);
    EXPECT_EQ(form.List1(0).SelectedIndex(), 1);
    const WindowHandle selected = SelectedClient();
    EXPECT_EQ(Count(2), static_cast<ListIndex>(ClientOf(selected).panes.size()));
    const int reads = std::exchange(testing::g_paneEvents.textReads, 0);
    WindowList panes;
    ListWindows(system, panes, kModePanes, selected);
    EXPECT_EQ(reads, testing::g_paneEvents.textReads) << "the panes were listed once";

    const HWND main = ClientOf(selected).main.Get();
    Notify(kList1Id, LBN_DBLCLK);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowEnabled(main); })) << "disabled";
    EXPECT_TRUE(PumpUntil([&] { return !form.Waiting(); }));
    Notify(kList1Id, LBN_DBLCLK);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(main); })) << "enabled again";
    form.List1(0).SetSelectedIndex(0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0) << "shown in the list box";
}

TEST_F(Form1WindowShownTest, EnterAndEscapeDoNotPressTheButton) {
    SelectClientWithoutPanes();
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
    // A loop as the run's, with a guard that ends it should the failure not
    // have ended it.
    void ExpectTheLoopToEndWithTheFailure() {
        const UINT_PTR guard = SetTimer(nullptr, 0, 3000, EndTheLoop);
        const ULONGLONG start = GetTickCount64();
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        KillTimer(nullptr, guard);
        EXPECT_LT(GetTickCount64() - start, 2500u) << "the failure ended the loop, not the guard";
        EXPECT_THROW(window->RethrowFailure(), std::bad_alloc);
    }
};

TEST_F(Form1WindowFailureTest, OutOfMemoryInTheWindowProcedureEndsTheLoop) {
    SelectClientWithoutPanes();
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
    EXPECT_EQ(form.NewSize, 120);

    // Clicking the button validates first, so the reset uses the typed width.
    for (ListIndex i = 0; i < Count(0); ++i) {
        if (form.List1(0).ItemData(i) == ToHandle(first.main.Get())) form.List1(0).SetSelectedIndex(i);
    }
    SetActiveWindow(window->Handle());
    SetFocus(text1);
    Pump();
    SetWindowTextW(text1, L"180abc");
    SetFocus(Control(kCommand2Id));
    EXPECT_EQ(TextOf(text1), L"180");
    EXPECT_EQ(form.NewSize, 180);
    EXPECT_EQ(form.Text1, "180");

    Notify(kCommand2Id, BN_CLICKED);
    EXPECT_EQ(PaneWidth(first.panes[0]), 180);
    EXPECT_EQ(PaneWidth(first.panes[1]), 150) << "only the first pane";
}

// A failure in a handler ends the run with status 3, and nothing of the form
// runs after it: not the events already queued behind it, nor anything while
// the window goes. Here the button's report fails; a second press and a
// double-click wait in the queue.
void CALLBACK PressTwiceAndDoubleClick(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND form1 = FindWindowW(L"KestrumForm1", nullptr);
    if (form1 == nullptr) return;
    const HWND field = GetDlgItem(form1, kText1Id);
    SetFocus(field);
    SetWindowTextW(field, L"180");
    for (const auto& [id, code] : {std::pair{kCommand2Id, BN_CLICKED}, std::pair{kCommand2Id, BN_CLICKED},
                                   std::pair{kList1Id, LBN_DBLCLK}}) {
        PostMessageW(form1, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(form1, id)));
    }
}

TEST(RunTest, AFailureInAHandlerEndsTheRunWithStatus3AndNothingElseRuns) {
    TestClient client(L"Client", {});
    KESTRUM_REQUIRE_WINDOWS(client);
    RecordedRun run(true);
    // The windows of earlier tests, gone, left their quit messages behind.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, PressTwiceAndDoubleClick);

    EXPECT_EQ(run.Run("/newsize=120"), kExitInternalFailure);

    KillTimer(nullptr, timer);
    g_boxesFail = false;
    EXPECT_EQ(g_boxes, std::vector<std::wstring>{L"NavPane was not found"}) << "pressed once";
    EXPECT_TRUE(IsWindowEnabled(client.main.Get())) << "the double-click did not run";
    EXPECT_EQ(run.form.NewSize, 120) << "the field was not validated as the window went";
    EXPECT_EQ(MainWindowsOfThisThread(), 0);
}

}  // namespace
}  // namespace kestrum::win32
