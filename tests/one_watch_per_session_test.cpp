// The session's one watch: which /watch becomes it, and /stop against a
// watch that is only starting, one with higher rights, one that never ends.
#include "watch/one_watch_per_session.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "startup/start_outcome.h"

namespace kestrum {
namespace {

using std::chrono::milliseconds;

// A session with one watch in it, or none, in time of its own.
struct FakeSession final : SessionWatches {
    std::string WhyNoDesktop() override { return noDesktop; }
    WatchMark TakeMark() override { return mark; }
    bool MarkHeld() override { return runs && !(endsAfter && askedAt && now >= *askedAt + *endsAfter); }
    StopRequest AskToEnd() override {
        if (!runs || now < windowAt) return StopRequest::NoWindow;
        if (!refuses && !askedAt) askedAt = now;
        return refuses ? StopRequest::Refused : StopRequest::Sent;
    }
    milliseconds Now() override { return now; }
    void Pause(milliseconds time) override { now += time; }

    std::string noDesktop;
    WatchMark mark = WatchMark::Taken;
    bool runs = true;
    milliseconds windowAt{0};               // its window is made
    bool refuses = false;                   // it runs with higher rights
    std::optional<milliseconds> endsAfter;  // once asked; none: never
    std::optional<milliseconds> askedAt;
    milliseconds now{0};
};

TEST(OneWatchPerSessionTest, AWatchStartsOnlyWhereItSeesTheWindowsAndNoneRuns) {
    const std::tuple<std::string, WatchMark, std::optional<int>> rows[] = {
        {"", WatchMark::Taken, std::nullopt},
        {"it runs in session 0", WatchMark::Taken, kExitNothingChanged},
        {"", WatchMark::HeldByAnother, kExitAlreadyWatching},
        {"", WatchMark::HeldWithHigherRights, kExitAlreadyWatching},  // its mark cannot be opened
        {"", WatchMark::Failed, kExitInternalFailure},
    };
    for (const auto& [noDesktop, mark, status] : rows) {
        FakeSession session;
        session.noDesktop = noDesktop;
        session.mark = mark;
        const std::optional<WatchRunEnd> end = BecomeTheWatch(session);
        EXPECT_EQ(end ? std::optional(end->status) : std::nullopt, status);
        EXPECT_EQ(end ? end->why.find("not started: " + noDesktop) : 0u, 0u) << (end ? end->why : "");
    }
}

TEST(OneWatchPerSessionTest, StopEndsTheWatchEvenAsItStartsAndSaysWhyWhenItCannot) {
    struct Row {
        const char* name;
        bool runs, refuses;
        int windowAt;
        std::optional<int> endsAfter;
        int status;
        std::string why;  // what the log's line holds
        int took;
    };
    const Row rows[] = {
        {"none runs", false, false, 0, {}, 0, "", 0},
        {"it ends when told", true, false, 0, 300, 0, "", 300},
        {"its window comes after its mark", true, false, 700, 100, 0, "", 800},
        {"it runs with higher rights", true, true, 0, 0, 3, "runs with higher rights", 0},
        {"it never ends", true, false, 0, {}, 3, "did not end within 5 seconds", 5000},
        {"its window never comes", true, false, 99'000, 0, 3, "could not be reached within 5 seconds", 5000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeSession session;
        session.runs = row.runs;
        session.refuses = row.refuses;
        session.windowAt = milliseconds(row.windowAt);
        if (row.endsAfter) session.endsAfter = milliseconds(*row.endsAfter);
        const WatchRunEnd end = StopTheWatch(session);
        EXPECT_EQ(end.status, row.status);
        EXPECT_TRUE(row.why.empty() ? end.why.empty() : end.why.find(row.why) != std::string::npos) << end.why;
        EXPECT_EQ(session.now, milliseconds(row.took));
    }
}

}  // namespace
}  // namespace kestrum
