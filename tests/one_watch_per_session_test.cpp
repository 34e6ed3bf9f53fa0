// The session's one watch: which /watch becomes it, and /stop against a
// watch that is only starting, one with higher rights, one that never ends.
#include "watch/one_watch_per_session.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "startup/start_outcome.h"
#include "support/memory_session_watches.h"

namespace kestrum {
namespace {

using std::chrono::milliseconds;

using FakeSession = testing::MemorySessionWatches;

TEST(OneWatchPerSessionTest, AWatchStartsOnlyWhereItSeesTheWindowsAndNoneRuns) {
    struct Row {
        std::optional<NoDesktop> noDesktop;
        WatchMark mark;
        std::optional<int> status;
        WatchNotStarted why = WatchNotStarted::MarkNotMade;
    };
    const Row rows[] = {
        {std::nullopt, WatchMark::Taken, std::nullopt},
        {NoDesktop::Session0, WatchMark::Taken, kExitNothingChanged, WatchNotStarted::Session0},
        {NoDesktop::StationNotVisible, WatchMark::Taken, kExitNothingChanged, WatchNotStarted::StationNotVisible},
        {std::nullopt, WatchMark::HeldByAnother, kExitAlreadyWatching, WatchNotStarted::AlreadyWatching},
        // Its mark cannot be opened.
        {std::nullopt, WatchMark::HeldWithHigherRights, kExitAlreadyWatching,
         WatchNotStarted::AlreadyWatchingWithHigherRights},
        {std::nullopt, WatchMark::Failed, kExitInternalFailure, WatchNotStarted::MarkNotMade},
    };
    for (const Row& row : rows) {
        FakeSession session;
        session.noDesktop = row.noDesktop;
        session.mark = row.mark;
        const std::optional<NotTheWatch> end = BecomeTheWatch(session);
        ASSERT_EQ(end ? std::optional(end->status) : std::nullopt, row.status);
        if (end) {
            EXPECT_EQ(end->why, row.why);
        }
    }
}

TEST(OneWatchPerSessionTest, StopEndsTheWatchEvenAsItStartsAndSaysWhyWhenItCannot) {
    struct Row {
        const char* name;
        bool runs, refuses;
        int windowAt;
        std::optional<int> endsAfter;
        int status;
        std::optional<StopFailed> why;
        int took;
    };
    const Row rows[] = {
        {"none runs", false, false, 0, {}, 0, {}, 0},
        {"it ends when told", true, false, 0, 300, 0, {}, 300},
        {"its window comes after its mark", true, false, 700, 100, 0, {}, 800},
        {"it runs with higher rights", true, true, 0, 0, 3, StopFailed::HigherRights, 0},
        {"it never ends", true, false, 0, {}, 3, StopFailed::DidNotEnd, 5000},
        {"its window never comes", true, false, 99'000, 0, 3, StopFailed::NotReached, 5000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeSession session;
        session.runs = row.runs;
        session.refuses = row.refuses;
        session.windowAt = milliseconds(row.windowAt);
        if (row.endsAfter) session.endsAfter = milliseconds(*row.endsAfter);
        const StopEnd end = StopTheWatch(session);
        EXPECT_EQ(end.status, row.status);
        EXPECT_EQ(end.why, row.why);
        EXPECT_EQ(session.now, milliseconds(row.took));
    }
}

// A command reaches the watch as /stop does, and ends once the watch has
// answered that it has done it.
TEST(OneWatchPerSessionTest, ACommandIsDoneByTheWatchOrSaysWhyNot) {
    using Why = AskFailed::Why;
    const struct {
        bool runs, refuses;
        int windowAt;
        std::optional<int> answersAfter;  // none: never
        int status;
        std::optional<Why> why;
        int took;
    } rows[] = {
        {false, false, 0, 0, kExitNoWatch, Why::NoWatch, 0},
        {true, false, 0, 40, 0, {}, 40},
        {true, false, 700, 40, 0, {}, 740},  // its window comes after its mark
        {true, true, 0, 0, 3, Why::HigherRights, 0},
        {true, false, 0, {}, 3, Why::NotAnswered, 5000},
        {true, false, 99'000, 0, 3, Why::NotReached, 5000},
    };
    for (const auto& row : rows) {
        FakeSession session;
        session.runs = row.runs;
        session.refuses = row.refuses;
        session.windowAt = milliseconds(row.windowAt);
        if (row.answersAfter) session.answersAfter = milliseconds(*row.answersAfter);
        const AskEnd end = AskTheWatch(session, WatchRequest::Pause);
        EXPECT_EQ(std::tuple(end.status, end.why ? std::optional(end.why->why) : std::nullopt, session.now),
                  std::tuple(row.status, row.why, milliseconds(row.took)));
    }
}

}  // namespace
}  // namespace kestrum
