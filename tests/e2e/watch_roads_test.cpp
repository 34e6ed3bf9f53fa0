// The resident watch under the window manager's real events: a client that
// starts after it (and again), one watch per session, /stop, the end of the
// session, the log it keeps, the width a user drags and the icon's menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "desktop.h"
#include "input.h"
#include "road_fixture.h"

namespace e2e {
namespace {

constexpr wchar_t kWatchClass[] = L"KestrumWatch";
constexpr wchar_t kWatchMark[] = L"Local\\KestrumWatch";

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A log file `name` in a folder of the roads' own, none there yet.
std::wstring LogPath(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kestrum e2e";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring log = folder + L"\\" + name;
    DeleteFileW(log.c_str());
    return log;
}

class WatchRoadTest : public RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        ASSERT_TRUE(WaitUntil([] { return FindWindowW(kWatchClass, nullptr) == nullptr; }, 5000))
            << "a watch of an earlier road is still running";
    }
    void TearDown() override {
        if (kestrum.Running()) {
            EXPECT_EQ(Run(L"/stop"), 0L) << "the road left its watch running";
        }
    }

    // Starts the watch and waits until it listens (its session window is there).
    void StartWatch(const std::wstring& args) {
        ASSERT_TRUE(kestrum.Start(L"/watch " + args));
        kestrum.Resume();
        ASSERT_NE(SessionWindow(), nullptr) << "the watch did not start within 10 s";
    }
    HWND SessionWindow() const {
        HWND found = nullptr;
        WaitUntil([&] {
            for (HWND h : TopLevelWindows(GetProcessId(kestrum.handle()))) {
                if (ClassOf(h) == kWatchClass) found = h;
            }
            return found != nullptr;
        }, 10000);
        return found;
    }
    // The watch's icon right-clicked, its menu shown (the desktop's taskbar
    // shows once it holds an icon).
    static bool MenuShown() { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; }
    static void OpenIconMenu() {
        std::optional<POINT> icon;
        ASSERT_TRUE(WaitUntil([&] { return (icon = FirstTrayIcon()).has_value(); }, 5000)) << "no icon on the taskbar";
        RightClick(*icon);
        ASSERT_TRUE(WaitUntil(MenuShown, 3000)) << "no menu";
    }
    // Another kestrum.exe with `args`, run to its end: its status.
    static long Run(const std::wstring& args) {
        KestrumProcess other;
        if (!other.Start(args)) return -1;
        other.Resume();
        return other.WaitExit(10000) ? other.ExitStatus() : -2;
    }
    // /run= for the stand-in client with one pane 220 wide, reading no
    // commands, ending by itself after `ms`.
    static std::wstring RunStandin(int ms) {
        std::wstring line = Quoted(ProgramPaths().client);
        for (const std::wstring& option : OneClient(L"Orders", 220)) line += L" " + Quoted(option);
        return L"/run=" + Quoted(line + L" --no-stdin --exit-after " + std::to_wstring(ms));
    }
};


TEST_F(WatchRoadTest, SetsAClientThatStartsLaterEachTimeAndTellsItsLog) {
    const std::wstring log = LogPath(L"watch.log");
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/newsize=250 /log=\"" + log + L"\""));
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE("opening " + std::to_string(opening));
        Sleep(1000);
        StandinClient reopened;
        ASSERT_TRUE(reopened.Start(OneClient(L"Orders", 220)));
        const HWND pane = reopened.panes.front();
        const RECT was = RectOf(pane);
        EXPECT_TRUE(WaitUntil([&] { return WidthOf(pane) == 250; }, 5000)) << "the pane is " << WidthOf(pane) << " wide";
        EXPECT_EQ(RectOf(pane).left, was.left);
        EXPECT_EQ(RectOf(pane).top, was.top);
        EXPECT_EQ(RectOf(pane).bottom, was.bottom);
        // The watch tells its log once it has seen the width taken.
        const auto setLines = [&] {
            const std::string text = ReadFile(log);
            std::size_t count = 0;
            for (std::size_t at = 0; (at = text.find(": 220 -> 250, set\n", at)) != std::string::npos; ++at) ++count;
            return count;
        };
        EXPECT_TRUE(WaitUntil([&] { return setLines() == static_cast<std::size_t>(opening); }, 3000))
            << ReadFile(log);
        EXPECT_EQ(reopened.Moves()[pane], 1L) << "set once";
        ASSERT_TRUE(reopened.Quit());
    }
    EXPECT_EQ(Run(L"/stop"), 0L);
    EXPECT_TRUE(kestrum.WaitExit(5000));
    EXPECT_EQ(kestrum.ExitStatus(), 0L);
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("started: width 250"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Orders\", pane "), std::string::npos) << text;
    EXPECT_NE(text.find(": 220 -> 250, set\n"), std::string::npos) << text;
    EXPECT_NE(text.find("stopped\n"), std::string::npos) << text;
}

// One watch per session; /stop ends it, even with its icon's menu open (the
// menu's own loop running).
TEST_F(WatchRoadTest, OneWatchPerSessionAndStopEndsIt) {
    EXPECT_EQ(Run(L"/stop"), 0L) << "no watch to stop";
    EXPECT_EQ(Run(L"/apply"), 10L) << "no watch to ask";
    ASSERT_NO_FATAL_FAILURE(StartWatch(L""));
    EXPECT_EQ(Run(L"/WATCH"), 8L) << "a second watch in the session";
    EXPECT_TRUE(kestrum.Running()) << "the first goes on";
    ASSERT_NO_FATAL_FAILURE(OpenIconMenu());
    EXPECT_EQ(Run(L"/stop"), 0L);
    EXPECT_TRUE(kestrum.WaitExit(5000));
    EXPECT_EQ(kestrum.ExitStatus(), 0L);
}

// The end of the session, and Windows closing the program (an installer, or
// to free resources), answered at once: the watch ends, saying which.
TEST_F(WatchRoadTest, TheEndOfTheSessionIsAnsweredAtOnceAndEndsTheWatch) {
    for (const auto& [flags, logged] : {std::pair<LPARAM, const char*>{ENDSESSION_LOGOFF, "  session ended\n"},
                                        {ENDSESSION_CLOSEAPP, "  closed by Windows (an update, or to free resources)\n"}}) {
        SCOPED_TRACE(logged);
        const std::wstring log = LogPath(L"end.log");
        ASSERT_NO_FATAL_FAILURE(StartWatch(L"/log=\"" + log + L"\""));
        const HWND window = SessionWindow();
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, flags, SMTO_ABORTIFHUNG, 1000, &answer), 0)
            << "no answer within a second";
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "it may not hold the session up";
        const double ending = Seconds();
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, flags, SMTO_ABORTIFHUNG, 1000, &answer);
        EXPECT_TRUE(kestrum.WaitExit(2000));
        EXPECT_LT(Seconds() - ending, 1.0) << "it ended more than a second after the session did";
        EXPECT_EQ(kestrum.ExitStatus(), 0L);
        EXPECT_NE(ReadFile(log).find(logged), std::string::npos) << ReadFile(log);
    }
}

// A /stop given the moment a watch starts (it holds the session's mark, its
// window is yet to come) ends that watch, every time.
TEST_F(WatchRoadTest, AStopRightAfterTheStartEndsTheWatch) {
    for (int attempt = 1; attempt <= 10; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        KestrumProcess watch, stop;
        ASSERT_TRUE(watch.Start(L"/watch") && stop.Start(L"/stop"));
        watch.Resume();
        ASSERT_TRUE(WaitUntil([] { return static_cast<bool>(UniqueHandle(OpenMutexW(SYNCHRONIZE, FALSE, kWatchMark))); },
                              10000));
        stop.Resume();
        EXPECT_TRUE(stop.WaitExit(10000));
        EXPECT_EQ(stop.ExitStatus(), 0L);
        EXPECT_TRUE(watch.WaitExit(1000)) << "the watch still runs";
    }
}

// A log whose ".1" is a folder cannot be set aside: it is begun again, never
// past its limit, and says so.
TEST_F(WatchRoadTest, ALogThatCannotBeSetAsideIsBegunAgainAndSaysSo) {
    const std::wstring log = LogPath(L"blocked.log");
    const std::wstring older = log + L".1";
    CreateDirectoryW(older.c_str(), nullptr);
    std::ofstream(log.c_str(), std::ios::binary) << std::string(1024 * 1024 - 40, 'x') << "\n";
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/log=\"" + log + L"\""));
    EXPECT_EQ(Run(L"/stop"), 0L);
    EXPECT_TRUE(kestrum.WaitExit(5000));
    const std::string text = ReadFile(log);
    EXPECT_LT(text.size(), 4096u);
    EXPECT_EQ(text.find("the log was begun again, as it could not be set aside"), 21u) << text.substr(0, 200);
    EXPECT_NE(text.find("  started: width 300"), std::string::npos);
    EXPECT_NE(text.find("  stopped\n"), std::string::npos);
    EXPECT_NE(GetFileAttributesW(older.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    RemoveDirectoryW(older.c_str());
}

// A client whose title holds quotes, line and paragraph separators, escapes
// and direction controls: its line is one line, the title in its quotes.
TEST_F(WatchRoadTest, AClientsTitleCannotForgeALogLine) {
    const std::wstring log = LogPath(L"forged.log");
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/newsize=250 /log=\"" + log + L"\""));
    StandinClient forging;
    ASSERT_TRUE(forging.Start(OneClient(
        L"Q\", pane 999: 1 -> 300, set\u2028" L"2099-01-01 00:00:00  forged\v\f\x85\u2029\x1b[2J\u202e C:\\new", 220)));
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(log).find(", set\n") != std::string::npos; }, 5000)) << ReadFile(log);
    ASSERT_TRUE(forging.Quit());
    EXPECT_EQ(Run(L"/stop"), 0L);
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find(" \"Q\\\", pane 999: 1 -> 300, set\\u20282099-01-01 00:00:00  forged\\u000b\\u000c\\u0085"
                        "\\u2029\\u001b[2J\\u202e C:\\\\new\", pane "),
              std::string::npos)
        << text;
    for (const char* raw : {"\v", "\f", "\r", "\x1b", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xE2\x80\xAE"}) {
        EXPECT_EQ(text.find(raw), std::string::npos) << "written as it is: " << raw;
    }
}

// The user's own width, as the watch keeps it (HKCU\Software\Kestrum,
// UserWidth): none while the road is under way, nor after it.
struct UserWidthForgotten {
    UserWidthForgotten() { Forget(); }
    ~UserWidthForgotten() { Forget(); }
    static void Forget() { RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Kestrum", L"UserWidth"); }
    static std::optional<DWORD> Kept() {
        DWORD value = 0, size = sizeof value;
        return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Kestrum", L"UserWidth", RRF_RT_REG_DWORD, nullptr, &value,
                            &size) == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
    }
};

// What a client's pane goes through once the watch set it, with the events
// Windows raises for it (the stand-in raises them; Wine 8 does not): only
// the user's drag of its splitter is the user's width, kept in the user's
// registry at the drag's end, with no click after it, and given to the
// client opened next. The client's own relayout and a drag of its frame that
// clamps the pane are not the user's (nor a restore: the minimized client's
// road), and the watch leaves the width the client gave alone. With Wine's
// own events alone, the watch still sets the pane, and keeps no drag.
TEST_F(WatchRoadTest, OnlyTheUsersDragIsKeptAsTheUsersWidth) {
    struct Row {
        const char* name;
        bool (*act)(StandinClient&, HWND pane);
        bool raisesEvents = true;
    };
    const auto dragSplitter = [](StandinClient&, HWND pane) {
        const RECT r = RectOf(pane);
        const POINT bar{r.right + 3, (r.top + r.bottom) / 2};
        return Drag(bar, {bar.x + 110, bar.y}) && WaitUntil([&] { return WidthOf(pane) == 360; }, 3000);
    };
    const Row rows[] = {
        {"the client's own relayout", [](StandinClient& c, HWND pane) { return c.Relayout(pane, 280); }},
        {"a frame drag that clamps the pane", [](StandinClient& c, HWND) { return c.FrameDrag(180); }},
        {"a drag, with Wine's own events alone", dragSplitter, false},
        {"the user's drag", dragSplitter},
    };
    const UserWidthForgotten none;
    const std::wstring log = LogPath(L"user-width.log");
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/newsize=250 /log=\"" + log + L"\""));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StandinClient client;
        Layout layout{L"--window", L"Orders", L"--place", L"100,100,600,400", L"--pane", L"0,15,12,220,150",
                      L"--splitter"};
        if (!row.raisesEvents) layout.push_back(L"--no-events");
        ASSERT_TRUE(client.Start(layout));
        const HWND pane = client.panes.front();
        ASSERT_TRUE(WaitUntil([&] { return WidthOf(pane) == 250; }, 5000)) << "the pane is " << WidthOf(pane) << " wide";
        ASSERT_TRUE(row.act(client, pane));
        const long after = WidthOf(pane);
        EXPECT_NE(after, 250L);
        const bool kept = row.raisesEvents && after == 360;
        EXPECT_EQ(WaitUntil([] { return UserWidthForgotten::Kept().has_value(); }, 2000), kept) << ReadFile(log);
        EXPECT_EQ(UserWidthForgotten::Kept(), kept ? std::optional<DWORD>(360) : std::nullopt);
        EXPECT_EQ(WidthOf(pane), after) << "the watch fought the client";
        EXPECT_EQ(ReadFile(log).find("user's width") != std::string::npos, kept) << ReadFile(log);
        ASSERT_TRUE(client.Quit());
    }
    StandinClient next;
    ASSERT_TRUE(next.Start(OneClient(L"Orders", 220)));
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(next.panes.front()) == 360; }, 5000))
        << "the pane is " << WidthOf(next.panes.front()) << " wide";
}

// The watch's icon in the notification area of the desktop's taskbar: a
// right click opens its menu, and a key chooses: P pauses it, X ends it as
// /stop does.
TEST_F(WatchRoadTest, TheIconsMenuOpensOnARightClickAndAKeyChooses) {
    const std::wstring log = LogPath(L"icon.log");
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/log=\"" + log + L"\""));
    for (const auto& [key, logged] : {std::pair<WORD, const char*>{'P', "  paused\n"}, {'X', "  stopped from its icon\n"}}) {
        SCOPED_TRACE(logged);
        ASSERT_NO_FATAL_FAILURE(OpenIconMenu());
        PressKey(key);
        EXPECT_TRUE(WaitUntil([&] { return ReadFile(log).find(logged) != std::string::npos; }, 3000)) << ReadFile(log);
        EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000)) << "the menu stays";
    }
    EXPECT_TRUE(kestrum.WaitExit(5000));
    EXPECT_EQ(kestrum.ExitStatus(), 0L);
}

// Kestrum published in the client's place: it starts the stand-in, sets its
// pane and ends by itself once the stand-in has ended; beside it, another
// starts a second stand-in and ends at once, the first setting its pane.
// Unattended, it waits for the client it started.
TEST_F(WatchRoadTest, AWatchStartsTheClientAndEndsWithIt) {
    const std::wstring log = LogPath(L"run.log");
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/newsize=250 /log=\"" + log + L"\" " + RunStandin(5000)));
    const double started = Seconds();
    EXPECT_EQ(Run(L"/watch " + RunStandin(3000)), 0L);
    EXPECT_LT(Seconds() - started, 3.0) << "it waited";
    ASSERT_TRUE(WaitUntil([] { return ClientWindowsOnDesktop().size() == 2; }, 5000)) << "the stand-ins did not start";
    for (HWND client : ClientWindowsOnDesktop()) {
        EXPECT_TRUE(WaitUntil([&] { return WidthOf(FirstPane(client)) == 250; }, 5000));
    }
    ASSERT_TRUE(WaitUntil([] { return ClientWindowsOnDesktop().empty(); }, 10000)) << "the stand-ins did not end";
    EXPECT_TRUE(kestrum.WaitExit(2000)) << "the watch outlived the client";
    EXPECT_EQ(kestrum.ExitStatus(), 0L);
    EXPECT_NE(ReadFile(log).find("  ended with the client\n"), std::string::npos) << ReadFile(log);
    EXPECT_EQ(Run(L"/AUTO /quiet /newsize=250 " + RunStandin(5000)), 0L);
    ASSERT_EQ(ClientWindowsOnDesktop().size(), 1u);
    EXPECT_EQ(WidthOf(FirstPane(ClientWindowsOnDesktop().front())), 250);
}

// /pause: a client opened then is left alone, until /apply; /forget forgets
// the user's own width.
TEST_F(WatchRoadTest, TheCommandsReachTheWatch) {
    const UserWidthForgotten none;
    DWORD kept = 360;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Kestrum", L"UserWidth", REG_DWORD, &kept, sizeof kept);
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/newsize=250"));
    EXPECT_EQ(Run(L"/pause"), 0L);
    StandinClient opened;
    ASSERT_TRUE(opened.Start(OneClient(L"Orders", 220)));
    Sleep(2000);
    EXPECT_EQ(WidthOf(opened.panes.front()), 220) << "set while paused";
    EXPECT_EQ(Run(L"/forget"), 0L);
    EXPECT_EQ(UserWidthForgotten::Kept(), std::nullopt);
    EXPECT_EQ(Run(L"/apply"), 0L);
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(opened.panes.front()) == 250; }, 3000))
        << "the pane is " << WidthOf(opened.panes.front()) << " wide";
}

// A client started minimized, restored 2.5 s later, lays its pane out again
// on the restore: the watch sets the pane after that. Minimized and restored
// once more (the events Windows raises for it, raised by the stand-in), it
// lays the pane out again: that width is the client's, not the user's, and
// the watch leaves it alone.
TEST_F(WatchRoadTest, AClientStartedMinimizedIsSetOnceRestored) {
    const UserWidthForgotten none;
    ASSERT_NO_FATAL_FAILURE(StartWatch(L"/newsize=250"));
    StandinClient minimized;
    ASSERT_TRUE(minimized.Start({L"--window", L"Orders", L"--minimized", L"2500", L"--pane", L"0,15,12,220,150"}));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(minimized.windows.front()); }, 5000)) << "not restored";
    const HWND pane = minimized.panes.front();
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(pane) == 220; }, 2000)) << "laid out again on the restore";
    ASSERT_TRUE(WaitUntil([&] { return WidthOf(pane) == 250; }, 5000)) << "the pane is " << WidthOf(pane) << " wide";
    ASSERT_TRUE(minimized.Minimize() && minimized.Restore());
    EXPECT_EQ(WidthOf(pane), 220) << "laid out again on the restore";
    EXPECT_FALSE(WaitUntil([&] { return WidthOf(pane) != 220 || UserWidthForgotten::Kept().has_value(); }, 2000))
        << "the pane is " << WidthOf(pane) << " wide; the user's width kept: " << UserWidthForgotten::Kept().value_or(0);
}

}  // namespace
}  // namespace e2e
