// What every end-to-end road shares: a stand-in client on a desktop clear of
// earlier ones, one kestrum.exe, and the check that every pane is where the
// road should have left it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "desktop.h"
#include "kestrum_process.h"
#include "programs.h"
#include "standin_process.h"

namespace e2e {

// One client titled `title` whose pane, `paneWidth` wide, sits in two frames.
inline Layout OneClient(const std::wstring& title, int paneWidth) {
    return {L"--window", title, L"--pane", L"2,15,12," + std::to_wstring(paneWidth) + L",150"};
}

class RoadTest : public ::testing::Test {
protected:
    struct PaneBefore {
        HWND pane;
        RECT rect;
    };

    void SetUp() override { ASSERT_TRUE(ProgramsFound()); }

    // Starts the client with `layout` (none when it is empty) once the
    // desktop holds no client window of an earlier road, and notes where its
    // panes are.
    void StartClient(const Layout& layout) {
        ASSERT_TRUE(WaitUntil([] { return ClientWindowsOnDesktop().empty(); }, 5000))
            << "the desktop still holds client windows of an earlier road";
        if (layout.empty()) return;
        ASSERT_TRUE(client.Start(layout));
        for (HWND pane : client.panes) before.push_back({pane, RectOf(pane)});
    }

    // Every pane but `changed` kept its rectangle and was asked no move;
    // `changed` got `width`, keeping its place and height: its left edge on
    // screen, or its right edge in a client laid out right to left
    // (`mirrored`).
    void CheckPanes(HWND changed, int width, bool mirrored = false) {
        std::map<HWND, long> moves = client.Moves();
        EXPECT_EQ(moves.size(), before.size()) << "panes in the client's report";
        for (const PaneBefore& p : before) {
            const std::string now = RectText(RectOf(p.pane));
            const std::string name = "pane " + std::to_string(HandleValue(p.pane));
            if (p.pane != changed) {
                EXPECT_EQ(now, RectText(p.rect)) << name << " should keep its rectangle";
                EXPECT_EQ(moves[p.pane], 0L) << "moves asked of " << name << ", which should stay";
                continue;
            }
            RECT want = p.rect;
            if (mirrored) {
                want.left = want.right - width;
            } else {
                want.right = want.left + width;
            }
            EXPECT_EQ(now, RectText(want)) << name << "'s rectangle once " << width << " wide";
        }
    }

    StandinClient client;
    KestrumProcess kestrum;
    std::vector<PaneBefore> before;  // the client's panes as they were at its start
};

}  // namespace e2e
