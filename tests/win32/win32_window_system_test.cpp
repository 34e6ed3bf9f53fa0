// The user32 window system on real windows of this process.
#include "winsys/win32_window_system.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "win32_fixture.h"
#include "winsys/win32_text.h"

namespace kestrum::win32 {
namespace {

using testing::TestClient;

struct CopyCase {
    const char* name;
    std::string text;
    std::size_t bufferSize;
    std::string copied;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopyUtf8Test : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyUtf8Test, CutsAtACharacterBoundary) {
    const CopyCase& c = GetParam();
    std::vector<char> buffer(c.bufferSize, 'x');
    const std::size_t count = CopyUtf8(c.text, buffer);
    EXPECT_EQ(count, c.copied.size());
    if (!buffer.empty()) {
        EXPECT_EQ(std::string(buffer.data()), c.copied);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyUtf8Test,
    ::testing::Values(CopyCase{"Fits", "abc", 8, "abc"}, CopyCase{"ExactFit", "abc", 4, "abc"},
                      CopyCase{"CutAscii", "abcdef", 4, "abc"},
                      CopyCase{"NoCutInsideTwoBytes", "ab\xC3\xA9", 4, "ab"},
                      CopyCase{"TwoBytesFit", "ab\xC3\xA9", 5, "ab\xC3\xA9"},
                      CopyCase{"NoCutInsideFourBytes", "a\xF0\x9F\x98\x80", 5, "a"},
                      CopyCase{"OnlyRoomForNul", "abc", 1, ""},
                      CopyCase{"EmptyBuffer", "abc", 0, ""}, CopyCase{"EmptyText", "", 4, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextConversionTest, RoundTripsAndReplacesBrokenInput) {
    const std::string text = "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    EXPECT_EQ(Utf8ToWide("\xC3\xA9"), L"\u00E9");
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(AnsiToUtf8("plain"), "plain");
}

class Win32WindowSystemTest : public ::testing::Test {
protected:
    Win32WindowSystem system;
};

TEST_F(Win32WindowSystemTest, EnumeratesTopLevelWindowsAndDescendants) {
    TestClient client(L"Client", {200, 150});
    KESTRUM_REQUIRE_WINDOWS(client);

    std::vector<WindowHandle> topLevel;
    EXPECT_TRUE(system.EnumerateTopLevelWindows(
        [&](WindowHandle h, std::int32_t value) {
            EXPECT_EQ(value, 0);
            topLevel.push_back(h);
            return 1;
        },
        0));
    EXPECT_NE(std::find(topLevel.begin(), topLevel.end(), ToHandle(client.main.Get())),
              topLevel.end());
    EXPECT_EQ(std::find(topLevel.begin(), topLevel.end(), ToHandle(client.frame)), topLevel.end());

    std::vector<WindowHandle> descendants;
    EXPECT_TRUE(system.EnumerateDescendants(
        ToHandle(client.main.Get()),
        [&](WindowHandle h, std::int32_t value) {
            EXPECT_EQ(value, 2);
            descendants.push_back(h);
            return 1;
        },
        2));
    const std::vector<WindowHandle> expected{ToHandle(client.frame), ToHandle(client.panes[0]),
                                             ToHandle(client.panes[1])};
    EXPECT_EQ(descendants, expected);
}

TEST_F(Win32WindowSystemTest, EnumerationStopsWhenTheCallbackSaysSoOrThrows) {
    TestClient client(L"Client", {200, 150});
    KESTRUM_REQUIRE_WINDOWS(client);
    const WindowHandle main = ToHandle(client.main.Get());

    int calls = 0;
    EXPECT_FALSE(system.EnumerateDescendants(main, [&](WindowHandle, std::int32_t) {
        ++calls;
        return 0;
    }, 2));
    EXPECT_EQ(calls, 1);

    calls = 0;
    EXPECT_THROW(system.EnumerateDescendants(main,
                                             [&](WindowHandle, std::int32_t) -> std::int32_t {
                                                 ++calls;
                                                 throw std::runtime_error("out of memory");
                                             },
                                             2),
                 std::runtime_error);
    EXPECT_EQ(calls, 1) << "the enumeration must stop at the failure";
}

TEST_F(Win32WindowSystemTest, DescendantsOfNoWindowAreNone) {
    int calls = 0;
    const EnumProc count = [&](WindowHandle, std::int32_t) { return ++calls, 1; };
    EXPECT_TRUE(system.EnumerateDescendants(0, count, 2)) << "not the top-level windows";
    WindowHandle gone = 0;
    {
        TestClient client(L"Gone", {200});
        if (client.Made()) gone = ToHandle(client.main.Get());
    }
    if (gone != 0) {
        EXPECT_TRUE(system.EnumerateDescendants(gone, count, 2));
    }
    EXPECT_EQ(calls, 0);
}

TEST_F(Win32WindowSystemTest, ReadsTextAndClassAsUtf8CutToFit) {
    TestClient client(L"Caf\u00E9 Client", {200});
    KESTRUM_REQUIRE_WINDOWS(client);
    const WindowHandle main = ToHandle(client.main.Get());

    std::array<char, 256> buffer{};
    EXPECT_EQ(system.ReadClassName(main, buffer), 18);
    EXPECT_STREQ(buffer.data(), "C/SIDE Application");

    const std::string title = "Caf\xC3\xA9 Client";  // é exists in every Western code page
    EXPECT_GE(system.WindowTextLength(main), static_cast<std::int32_t>(title.size()));
    EXPECT_EQ(system.ReadWindowText(main, buffer), static_cast<std::int32_t>(title.size()));
    EXPECT_EQ(std::string(buffer.data()), title);

    std::array<char, 5> small{};
    EXPECT_EQ(system.ReadWindowText(main, small), 3) << "é must not be cut in half";
    EXPECT_STREQ(small.data(), "Caf");

    EXPECT_EQ(system.ReadWindowText(main, std::span<char>{}), 0);
}

TEST_F(Win32WindowSystemTest, QueriesOnAHandleThatNamesNoWindowFailCleanly) {
    WindowHandle gone = 0;
    {
        TestClient client(L"Gone", {});
        KESTRUM_REQUIRE_WINDOWS(client);
        gone = ToHandle(client.main.Get());
    }
    std::array<char, 16> buffer{};
    buffer.fill('x');
    EXPECT_EQ(system.WindowTextLength(gone), 0);
    EXPECT_EQ(system.ReadWindowText(gone, buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(system.ReadClassName(gone, buffer), 0);
    Rect rect{1, 2, 3, 4};
    EXPECT_FALSE(system.ReadWindowRect(gone, rect));
    EXPECT_EQ(rect, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(system.ParentOf(gone), 0);
    EXPECT_EQ(system.ParentOf(0), 0);
    Rect mapped{5, 6, 7, 8};
    EXPECT_FALSE(system.MapRectToClient(gone, mapped));
    EXPECT_EQ(mapped, (Rect{5, 6, 7, 8}));
    EXPECT_FALSE(system.MoveWindow(gone, 0, 0, 10, 10));
    EXPECT_FALSE(system.IsWindowEnabled(gone));
}

TEST_F(Win32WindowSystemTest, ParentsRectanglesAndMovesKeepThePanesPlace) {
    TestClient client(L"Client", {200});
    KESTRUM_REQUIRE_WINDOWS(client);
    const WindowHandle pane = ToHandle(client.panes[0]);
    const WindowHandle frame = ToHandle(client.frame);

    EXPECT_EQ(system.ParentOf(ToHandle(client.main.Get())), 0) << "the desktop is no parent";
    EXPECT_EQ(system.ParentOf(frame), ToHandle(client.main.Get()));
    EXPECT_EQ(system.ParentOf(pane), frame);

    Rect before;
    ASSERT_TRUE(system.ReadWindowRect(pane, before));
    EXPECT_EQ(before.right - before.left, 200);
    EXPECT_EQ(before.bottom - before.top, 100);
    Rect place = before;
    ASSERT_TRUE(system.MapRectToClient(frame, place));
    EXPECT_EQ(place, (Rect{10, 20, 210, 120}));

    EXPECT_TRUE(system.MoveWindow(pane, place.left, place.top, 250, 100));
    Rect after;
    ASSERT_TRUE(system.ReadWindowRect(pane, after));
    EXPECT_EQ(after, (Rect{before.left, before.top, before.left + 250, before.bottom}));
}

TEST_F(Win32WindowSystemTest, EnablesAndDisables) {
    TestClient client(L"Client", {});
    KESTRUM_REQUIRE_WINDOWS(client);
    const WindowHandle main = ToHandle(client.main.Get());
    EXPECT_TRUE(system.IsWindowEnabled(main));
    system.EnableWindow(main, false);
    EXPECT_FALSE(system.IsWindowEnabled(main));
    system.EnableWindow(main, true);
    EXPECT_TRUE(system.IsWindowEnabled(main));
}

TEST(HandleTest, PassesTheValueUnchanged) {
    for (const WindowHandle h : {0, 1, 0x00010064, 0x7FFFFFFF, -2}) {
        EXPECT_EQ(ToHandle(ToHwnd(h)), h);
    }
}

}  // namespace
}  // namespace kestrum::win32
