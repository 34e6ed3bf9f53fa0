// The waiting panes' timing: when a pane is looked at, when it is settled,
// given up or dropped, and how little it costs to wait for one not shown.
#include "watch/pane_waits.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kestrum {
namespace {

using std::chrono::milliseconds;

// What the pane is at a time: shown or not, there or not, and where.
struct Sight {
    bool shown = true;
    bool there = true;
    int width = 250;
};

struct WaitCase {
    const char* name;
    std::function<Sight(int ms)> pane;
    PaneWaits::Verdict verdict;
    PaneGivenUp::Why why = PaneGivenUp::Why::NotShown;
    int at;                  // ms, when the verdict comes
    int looks = -1;          // how many looks it took; -1: not counted
    int askedThere = 0;      // how often whether it is there at all was asked
};

void PrintTo(const WaitCase& c, std::ostream* os) { *os << c.name; }

class PaneWaitsTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(PaneWaitsTest, LooksAtAPaneUntilItSettlesOrIsGivenUp) {
    const WaitCase& c = GetParam();
    PaneWaits waits(milliseconds(500));
    constexpr WindowHandle kPane = 7;
    waits.Add(kPane, 3, milliseconds(0));
    int looks = 0, askedThere = 0;
    std::optional<PaneWaits::Look> last;
    while (const auto next = waits.NextLook()) {
        ASSERT_LT(next->count(), 200'000) << "still waiting after 200 s";
        ASSERT_EQ(waits.Due(*next), std::vector<WindowHandle>{kPane});
        const Sight sight = c.pane(static_cast<int>(next->count()));
        ++looks;
        last = sight.shown ? waits.LookedShown(kPane, sight.there ? std::optional(Rect{0, 0, sight.width, 100})
                                                                  : std::nullopt, *next)
                           : waits.LookedHidden(kPane, *next, [&] {
                                 ++askedThere;
                                 return sight.there;
                             });
        if (last->verdict != PaneWaits::Verdict::Waits) {
            EXPECT_EQ(next->count(), c.at);
            break;
        }
    }
    ASSERT_TRUE(last);
    EXPECT_EQ(last->verdict, c.verdict);
    EXPECT_EQ(last->client, 3);
    EXPECT_EQ(last->verdict == PaneWaits::Verdict::GivenUp ? last->why : c.why, c.why);
    EXPECT_EQ(c.looks >= 0 ? looks : -1, c.looks);
    EXPECT_EQ(askedThere, c.askedThere);
    EXPECT_EQ(waits.Count(), 0u);
}

using enum PaneWaits::Verdict;
INSTANTIATE_TEST_SUITE_P(
    Timelines, PaneWaitsTest,
    ::testing::Values(
        // Shown and still: looked at every 50 ms, set after the settling time.
        WaitCase{"StillSettles", [](int) { return Sight{}; }, Settled, {}, 500, 11},
        WaitCase{"LaidOutAgainWaitsAgain", [](int ms) { return Sight{true, true, ms < 300 ? 250 : 240}; }, Settled, {},
                 800},
        // Shown 3 s after it appeared: looked at on the 50 ms grid for a
        // second, then on the 250 ms grid; set once shown and still.
        WaitCase{"ShownLate", [](int ms) { return Sight{ms >= 3'000}; }, Settled, {}, 3'500, 20 + 8 + 11},
        // Never shown: looked at less and less often (20 looks in the first
        // second, 16 to 5 s, 10 to 15 s, then every 2 s), given up at the
        // first look after a minute; whether it is there asked once, then.
        WaitCase{"NeverShown", [](int) { return Sight{false}; }, GivenUp, PaneGivenUp::Why::NotShown, 62'000,
                 20 + 16 + 10 + 24 + 1, 1},
        WaitCase{"NeverShownAndGone", [](int ms) { return Sight{false, ms < 30'000}; }, Dropped, {}, 62'000, -1, 1},
        // Seen moving, then hidden: its back-off starts again from then;
        // whether it is there asked at once (it was seen), and at the end.
        WaitCase{"SeenMovingThenHidden", [](int ms) { return Sight{ms < 2'000, true, 200 + ms / 50 % 40}; }, GivenUp,
                 PaneGivenUp::Why::NotShown, 62'000, 110, 2},
        // Seen, then hidden and gone: dropped at the next look, asked once.
        WaitCase{"SeenThenGone", [](int ms) { return Sight{ms < 200, ms < 200}; }, Dropped, {}, 200, 5, 1},
        WaitCase{"GoneWhileShown", [](int ms) { return Sight{true, ms < 200}; }, Dropped, {}, 200, 5},
        // Still moving after its minute: looked at once a second, set once it rests.
        WaitCase{"MovingAMinuteThenRests",
                 [](int ms) { return Sight{true, true, ms < 65'300 ? 150 + ms / 100 % 100 : 200}; }, Settled, {},
                 66'000},
        WaitCase{"MovingAMinuteThenGone",
                 [](int ms) { return Sight{true, ms < 65'300, 150 + ms / 100 % 100}; }, GivenUp,
                 PaneGivenUp::Why::GoneMoving, 66'000},
        WaitCase{"MovingAMinuteThenHiddenAndGone",
                 [](int ms) { return Sight{ms < 65'300, ms < 65'300, 150 + ms / 100 % 100}; }, GivenUp,
                 PaneGivenUp::Why::GoneMoving, 66'000, -1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Panes waiting alike are looked at together, however many: once they have
// waited 15 s, at one moment in two seconds. One that appears again is
// looked at at once.
TEST(PaneWaitsTest, HiddenPanesShareTheirLooksAndOneAppearingAgainIsLookedAtAtOnce) {
    PaneWaits waits(milliseconds(500));
    for (WindowHandle pane = 1; pane <= 100; ++pane) waits.Add(pane, 1000, milliseconds(pane * 37));
    std::vector<milliseconds> moments;
    for (milliseconds now; (now = *waits.NextLook()) <= milliseconds(30'000);) {
        if (now > milliseconds(20'000)) moments.push_back(now);
        for (const WindowHandle pane : waits.Due(now)) waits.LookedHidden(pane, now, [] { return true; });
    }
    EXPECT_EQ(moments, (std::vector<milliseconds>{milliseconds(22'000), milliseconds(24'000), milliseconds(26'000),
                                                  milliseconds(28'000), milliseconds(30'000)}));
    waits.Add(42, 1000, milliseconds(30'500));
    EXPECT_EQ(waits.Due(milliseconds(30'500)), std::vector<WindowHandle>{42});
}

}  // namespace
}  // namespace kestrum
