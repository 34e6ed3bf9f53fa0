// Roads a script takes: kestrum.exe started with arguments against the
// stand-in client, watched from its first moment until it ends by itself
// (its exit status, every message box, the panes it moved) or shows its
// window (then its list and button are checked, and the window closed).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop.h"
#include "host_shell.h"
#include "input.h"
#include "kestrum_window.h"
#include "message_box.h"
#include "road_fixture.h"

namespace e2e {
namespace {

struct AutoRoad {
    std::string_view name;
    Layout layout;                    // stand-in client options; empty: no client
    std::wstring args;                // Kestrum's command line after its path
    DWORD hangMs = 0;                 // the client stops answering this long before the start
    long exitStatus = 0;
    std::wstring message;             // the one message box's exact text; empty: none
    std::vector<std::wstring> parts;  // or pieces its text must hold
    bool windowShown = false;
    int width = 0;                    // the first pane's width after; 0: untouched
    bool mirrored = false;            // the client is laid out right to left
    int clientAfterMs = 0;            // the client starts this long after Kestrum
};

void PrintTo(const AutoRoad& road, std::ostream* os) { *os << road.name; }

std::string SecondsText(double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

class AutoRoadTest : public RoadTest, public ::testing::WithParamInterface<AutoRoad> {
protected:
    // What a run showed, watched from its first moment for 20 s at most: a
    // window shown even briefly is seen, and each message box is answered as
    // the road expects (or closed, where none is expected).
    struct Run {
        bool sawWindow = false;
        HWND shown = nullptr;  // the window, where the road expects one
        int boxes = 0;
        double took = 0;  // seconds to its end; 0 while it runs
    };
    Run Watch(const AutoRoad& road) {
        Run run;
        const double started = Seconds();
        kestrum.Resume();
        while (Seconds() - started < 20 && !HasFatalFailure()) {
            if (road.clientAfterMs > 0 && client.windows.empty() && Seconds() - started >= road.clientAfterMs / 1000.0) {
                StartClient(road.layout);
            }
            if (WaitForSingleObject(kestrum.handle(), 1) == WAIT_OBJECT_0) {
                run.took = Seconds() - started;
                break;
            }
            if (HWND main = kestrum.MainWindow()) {
                run.sawWindow = true;
                if (road.windowShown) {
                    run.shown = main;
                    break;
                }
            }
            if (HWND box = kestrum.MessageBoxWindow()) {
                ++run.boxes;
                if (!road.message.empty()) {
                    AnswerBox(box, road.message);
                } else if (!road.parts.empty()) {
                    AnswerBoxHolding(box, road.parts);
                } else {
                    ADD_FAILURE() << "a message box, where none should be: \"" << Narrow(ReadBox(box).text) << "\"";
                    PostMessageW(box, WM_CLOSE, 0, 0);
                    WaitUntil([&] { return IsWindow(box) == FALSE; }, 5000);
                }
            }
        }
        return run;
    }

    // The panes Kestrum found are those of the client its list has selected
    // (entry 0 at start), in the window manager's order: the button sets the
    // width of the first of them (300, the width in force) and of no other
    // window, or says that there is none.
    void CheckButtonActsOnTheSelectedClient(HWND main) {
        const KestrumWindow c(main);
        const std::vector<HWND> clients = c.Values();
        const long selected = c.Selected();
        ASSERT_TRUE(selected >= 0 && static_cast<std::size_t>(selected) < clients.size())
            << "entry selected: " << selected << ", not one of the " << clients.size() << " entries";
        const HWND pane = FirstPane(clients[static_cast<std::size_t>(selected)]);
        SetForegroundWindow(main);
        kestrum.Settle();
        Click(CenterOf(c.button));
        kestrum.Settle();
        if (pane == nullptr) {
            const HWND box = kestrum.WaitForMessageBox(5000);
            EXPECT_NE(box, nullptr) << "the button without a pane showed no message box";
            if (box != nullptr) AnswerBox(box, kNoPane);
        } else {
            WaitUntil([&] { return WidthOf(pane) == 300; }, 3000);
        }
        CheckPanes(pane, 300);
    }
};

TEST_P(AutoRoadTest, EndsAsExpected) {
    const AutoRoad& road = GetParam();
    if (road.clientAfterMs == 0) {
        ASSERT_NO_FATAL_FAILURE(StartClient(road.layout));
    }
    if (road.hangMs > 0) {
        client.Command("hang " + std::to_string(road.hangMs));
        ASSERT_TRUE(client.Expect("hanging", 5000)) << "the client did not say it hangs";
    }
    ASSERT_TRUE(kestrum.Start(road.args)) << "kestrum.exe did not start";
    const Run run = Watch(road);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(run.sawWindow, road.windowShown) << "Kestrum's window shown";
    EXPECT_EQ(run.boxes, road.message.empty() && road.parts.empty() ? 0 : 1) << "message boxes shown";
    if (run.shown) {
        const KestrumWindow c(run.shown);
        EXPECT_EQ(c.Entries().size(), client.windows.size()) << "entries listed";
        EXPECT_EQ(c.Selected(), 0L) << "entry selected";
        CheckButtonActsOnTheSelectedClient(run.shown);
        kestrum.Close(run.shown);
        return;
    }
    ASSERT_GT(run.took, 0) << "Kestrum still running after 20 s";
    EXPECT_EQ(kestrum.ExitStatus(), road.exitStatus) << "exit status";
    const std::string took = SecondsText(run.took);
    RecordProperty("kestrum_ran", took);
    std::cout << "Kestrum ran " << took << "\n";
    EXPECT_GT(run.took, road.clientAfterMs / 1000.0) << "Kestrum ended after " << took << ", before the client started";
    if (road.hangMs > 0) {
        ASSERT_FALSE(client.panes.empty()) << "the client has no pane";
        EXPECT_LT(run.took, 2.0) << "Kestrum's run beside a hung client took " << took;
        // The client really was not answering: the new width waits for it.
        EXPECT_EQ(RectText(RectOf(client.panes.front())), RectText(before.front().rect))
            << "the pane moved while the client hung";
        EXPECT_TRUE(client.Expect("awake", road.hangMs + 10000)) << "the client did not wake";
        const HWND pane = client.panes.front();
        WaitUntil([&] { return WidthOf(pane) == road.width; }, 3000);
    }
    ASSERT_TRUE(road.width == 0 || !client.panes.empty()) << "the client has no pane";
    CheckPanes(road.width ? client.panes.front() : nullptr, road.width, road.mirrored);
}

const Layout kOne = OneClient(L"Orders", 220);
const Layout kTwo = {L"--window", L"First", L"--pane", L"1,10,10,200,100",
                     L"--window", L"Second", L"--pane", L"0,20,30,210,120"};
const Layout kTwoPanes = {L"--window", L"Orders", L"--pane", L"0,10,10,200,100", L"--pane",
                          L"2,40,30,180,90"};

const AutoRoad kAutoRoads[] = {
    {.name = "OneClientOnePane", .layout = kOne, .args = L"/AUTO", .width = 300},
    {.name = "WidthAlreadyRight", .layout = OneClient(L"Orders", 300), .args = L"/AUTO"},
    {.name = "NewSize250", .layout = kOne, .args = L"/AUTO /newsize=250", .width = 250},
    {.name = "AnyLetterCase", .layout = kOne, .args = L"/newsize=250 /auto", .width = 250},
    {.name = "NoClient", .args = L"/AUTO", .exitStatus = 1, .message = kNoClient},
    {.name = "NoClientWithoutAuto", .args = L"", .exitStatus = 1, .message = kNoClient},
    {.name = "TwoClientsTwoPanes", .layout = kTwo, .args = L"/AUTO", .windowShown = true},
    {.name = "OneClientTwoPanes", .layout = kTwoPanes, .args = L"/AUTO", .windowShown = true},
    {.name = "ClientWithoutAPane", .layout = {L"--window", L"Orders"}, .args = L"/AUTO",
     .windowShown = true},
    // The move waits in the client's queue: said, and status 6, within two
    // seconds; the width is set once the client answers again.
    {.name = "ClientThatStoppedAnswering", .layout = kOne, .args = L"/AUTO", .hangMs = 10000,
     .exitStatus = 6,
     .message = L"The client is not responding: the width will be set when it answers.",
     .width = 300},
    {.name = "ClientStartingAfterKestrum", .layout = kOne, .args = L"/AUTO /wait=10 /newsize=250",
     .width = 250, .clientAfterMs = 1500},
    {.name = "QuietWithTwoClients", .layout = kTwo, .args = L"/AUTO /quiet", .exitStatus = 5},
    {.name = "QuietWithNoClient", .args = L"/AUTO /quiet", .exitStatus = 1},
    {.name = "Usage", .layout = kOne, .args = L"/?",
     .parts = {L"/wait=SECONDS", L"/quiet", L"Exit status"}},
    {.name = "NewSizeOutOfRange", .layout = kOne, .args = L"/AUTO /newsize=40000", .exitStatus = 2,
     .parts = {L"40000", L"out of range"}},
    {.name = "NewSizeBelowTheRange", .layout = kOne, .args = L"/AUTO /newsize=-32769",
     .exitStatus = 2, .parts = {L"-32769", L"out of range"}},
    // A program to start that makes no command line, and one not there: no window, no box.
    {.name = "ProgramUnclosedQuote", .args = L"/AUTO /run=\"\\\"C:\\x.exe", .exitStatus = 2,
     .parts = {L"/run=\"\\\"C:\\x.exe", L"not closed"}},
    {.name = "ProgramNotThere", .args = L"/AUTO /run=Z:\\nowhere\\client.exe", .exitStatus = 9},
    // Laid out right to left: the pane keeps its right edge and grows to the
    // left, directly in the main window and inside frames alike.
    {.name = "MirroredClient",
     .layout = {L"--window", L"Orders", L"--place", L"200,100,700,420", L"--mirrored", L"--pane",
                L"0,15,12,250,150"},
     .args = L"/AUTO /newsize=300", .width = 300, .mirrored = true},
    {.name = "MirroredClientPaneInFrames",
     .layout = {L"--window", L"Orders", L"--mirrored", L"--pane", L"2,15,12,220,150"},
     .args = L"/AUTO /newsize=180", .width = 180, .mirrored = true},
};

INSTANTIATE_TEST_SUITE_P(Unattended, AutoRoadTest, ::testing::ValuesIn(kAutoRoads),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// A value under HKLM\Software\Policies\Kestrum, as Group Policy would write
// it, in both registry views; removed again when the road is done.
class MachinePolicy {
public:
    MachinePolicy(const wchar_t* name, DWORD value) : name_(name) {
        for (const REGSAM view : kViews) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                                nullptr) != ERROR_SUCCESS) {
                continue;
            }
            written_ = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                      sizeof value) == ERROR_SUCCESS || written_;
            RegCloseKey(key);
        }
    }
    ~MachinePolicy() {
        for (const REGSAM view : kViews) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey, view, 0);
    }
    MachinePolicy(const MachinePolicy&) = delete;
    MachinePolicy& operator=(const MachinePolicy&) = delete;
    bool Written() const { return written_; }

private:
    static constexpr wchar_t kKey[] = L"Software\\Policies\\Kestrum";
    static constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    const wchar_t* name_;
    bool written_ = false;
};

class PolicyRoadTest : public RoadTest {};

TEST_F(PolicyRoadTest, AComputersPolicyWidthWinsOverTheCommandLine) {
    const MachinePolicy policy(L"NewSize", 260);
    ASSERT_TRUE(policy.Written()) << "the policy could not be written";
    ASSERT_NO_FATAL_FAILURE(StartClient(OneClient(L"Orders", 220)));
    ASSERT_TRUE(kestrum.Start(L"/AUTO /quiet /newsize=250"));
    kestrum.Resume();
    ASSERT_TRUE(kestrum.WaitExit(10000));
    EXPECT_EQ(kestrum.ExitStatus(), 0L);
    const HWND pane = client.panes.front();
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(pane) == 260; }, 3000)) << "the pane is " << WidthOf(pane) << " wide";
    CheckPanes(pane, 260);
}

// The user's policy value `name`, removed when the road is done.
struct UserPolicyRemoved {
    const wchar_t* name;
    ~UserPolicyRemoved() { RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Policies\\Kestrum", name); }
};

TEST_F(PolicyRoadTest, AUsersPolicyLogFileIsWrittenWithItsVariablesExpanded) {
    wchar_t temp[MAX_PATH] = L"";
    wchar_t user[256] = L"";
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    ASSERT_GT(GetEnvironmentVariableW(L"USERNAME", user, 256), 0u) << "no USERNAME to expand";
    const std::wstring log = std::wstring(temp) + L"kestrum-policy-" + user + L".log";
    const std::wstring named = std::wstring(temp) + L"kestrum-policy-%USERNAME%.log";
    DeleteFileW(log.c_str());
    const UserPolicyRemoved removed{L"LogFile"};
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Policies\\Kestrum", L"LogFile", REG_EXPAND_SZ,
                              named.c_str(), static_cast<DWORD>((named.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_NO_FATAL_FAILURE(StartClient(OneClient(L"Orders", 220)));
    ASSERT_TRUE(kestrum.Start(L"/AUTO /quiet /newsize=250"));
    kestrum.Resume();
    ASSERT_TRUE(kestrum.WaitExit(10000));
    EXPECT_EQ(kestrum.ExitStatus(), 0L);
    std::ifstream in(log.c_str(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(": 220 -> 250, set"), std::string::npos) << "the log at the expanded path: " << text;
}

// kestrum.exe run with `args`, and Wine's trace of what it reported to the
// event log: each ReportEventW (type, ID, then a line per string) goes to the
// Unix standard error, which Wine passes on to no Windows child; so it runs
// through the host's shell.
std::string TracedRun(const std::wstring& args) {
    return HostShell(L"WINEDEBUG=warn+eventlog,fixme+advapi \"$@\"",
                     Quoted(EnvironmentValue(L"WINELOADER")) + L" " + Quoted(ProgramPaths().kestrum) + L" " + args);
}

// An unattended run beside a client that stopped answering reports warning
// 1200 (type 2, ID 0x4b0) with the client's title; at EventLogLevel 0, nothing.
TEST_F(PolicyRoadTest, AClientNotAnsweringIsAWarningInTheEventLog) {
    ASSERT_NO_FATAL_FAILURE(StartClient(OneClient(L"Orders", 220)));
    for (const bool levelZero : {false, true}) {
        std::optional<MachinePolicy> policy;
        if (levelZero) policy.emplace(L"EventLogLevel", 0);
        ASSERT_TRUE(!policy || policy->Written()) << "the policy could not be written";
        client.Command("hang 6000");
        ASSERT_TRUE(client.Expect("hanging", 5000)) << "the client did not say it hangs";
        // (The first run's width is taken once the client answers: another for the second.)
        const std::string trace = TracedRun(levelZero ? L"/AUTO /quiet /newsize=250" : L"/AUTO /quiet");
        EXPECT_NE(trace.find("exit status 6"), std::string::npos) << trace;
        EXPECT_EQ(trace.find("ReportEventW") != std::string::npos, !levelZero) << trace;
        EXPECT_EQ(trace.find(",0x0002,0x0000,0x000004b0,") != std::string::npos &&
                      trace.find("warn:eventlog:ReportEventW L\"Orders\"") != std::string::npos,
                  !levelZero)
            << trace;
        EXPECT_TRUE(client.Expect("awake", 15000)) << "the client did not wake";
    }
}

}  // namespace
}  // namespace e2e
