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

// /stop, and a command, reach the watch even as it starts: /stop ends once
// the watch has ended, a command once the watch has answered that it did it;
// each says why not when it cannot.
TEST(OneWatchPerSessionTest, StopAndACommandReachTheWatchOrSayWhyNot) {
    using Why = AskFailed::Why;
    struct Row {
        const char* name;
        bool runs, refuses;
        int windowAt;
        std::optional<int> after;  // it ends, or answers; none: never
        int stopStatus;
        std::optional<StopFailed> stopWhy;
        int askStatus;
        std::optional<Why> askWhy;
        int took;
    };
    const Row rows[] = {
        {"none runs", false, false, 0, {}, 0, {}, kExitNoWatch, Why::NoWatch, 0},
        {"it does it when told", true, false, 0, 300, 0, {}, 0, {}, 300},
        {"its window comes after its mark", true, false, 700, 100, 0, {}, 0, {}, 800},
        {"it runs with higher rights", true, true, 0, 0, 3, StopFailed::HigherRights, 3, Why::HigherRights, 0},
        {"it never does it", true, false, 0, {}, 3, StopFailed::DidNotEnd, 3, Why::NotAnswered, 5000},
        {"its window never comes", true, false, 99'000, 0, 3, StopFailed::NotReached, 3, Why::NotReached, 5000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeSession stopped, asked;
        for (FakeSession* session : {&stopped, &asked}) {
            session->runs = row.runs;
            session->refuses = row.refuses;
            session->windowAt = milliseconds(row.windowAt);
            if (row.after) session->after = milliseconds(*row.after);
        }
        const StopEnd stop = StopTheWatch(stopped);
        EXPECT_EQ(std::tuple(stop.status, stop.why, stopped.now),
                  std::tuple(row.stopStatus, row.stopWhy, milliseconds(row.took)));
        const AskEnd ask = AskTheWatch(asked, WatchRequest::Pause);
        EXPECT_EQ(std::tuple(ask.status, ask.why ? std::optional(ask.why->why) : std::nullopt, asked.now),
                  std::tuple(row.askStatus, row.askWhy, milliseconds(row.took)));
    }
}

}  // namespace
}  // namespace kestrum
