// The session's one watch: which /watch becomes it, and /stop against a
// watch that is only starting, one with higher rights, one that never ends.
#include "watch/one_watch_per_session.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "startup/start_outcome.h"

namespace kestrum {
namespace {

using std::chrono::milliseconds;

// A session with one watch in it, or none, in time of its own.
class FakeSession final : public SessionWatches {
public:
    std::string WhyNoDesktop() override { return noDesktop; }
    WatchMark TakeMark() override { return mark; }
    bool MarkHeld() override { return running && !(endsAfter && askedAt && now >= *askedAt + *endsAfter); }
    StopRequest AskToEnd() override {
        if (!running || now < windowAt) return StopRequest::NoWindow;
        if (refuses) return StopRequest::Refused;
        if (!askedAt) askedAt = now;
        return StopRequest::Sent;
    }
    milliseconds Now() override { return now; }
    void Pause(milliseconds time) override { now += time; }

    std::string noDesktop;
    WatchMark mark = WatchMark::Taken;
    bool running = true;
    milliseconds windowAt{0};               // its window is made
    bool refuses = false;                   // it runs with higher rights
    std::optional<milliseconds> endsAfter;  // asked; none: never
    std::optional<milliseconds> askedAt;
    milliseconds now{0};
};

TEST(OneWatchPerSessionTest, AWatchStartsOnlyWhereItSeesTheWindowsAndNoneRuns) {
    struct Row {
        std::string noDesktop;
        WatchMark mark;
        std::optional<int> status;  // none: it watches
        std::string why;
    };
    const Row rows[] = {
        {"", WatchMark::Taken, std::nullopt, ""},
        {"it runs in session 0", WatchMark::Taken, kExitNothingChanged, "not started: it runs in session 0"},
        {"", WatchMark::HeldByAnother, kExitAlreadyWatching, "not started: Kestrum already watches this session"},
        {"", WatchMark::HeldWithHigherRights, kExitAlreadyWatching,
         "not started: Kestrum already watches this session (a watch with higher rights)"},
        {"", WatchMark::Failed, kExitInternalFailure, "not started: the session's watch mark could not be made"},
    };
    for (const Row& row : rows) {
        FakeSession session;
        session.noDesktop = row.noDesktop;
        session.mark = row.mark;
        const std::optional<WatchRunEnd> end = BecomeTheWatch(session);
        EXPECT_EQ(end ? std::optional(end->status) : std::nullopt, row.status) << row.why;
        EXPECT_EQ(end ? end->why : "", row.why);
    }
}

TEST(OneWatchPerSessionTest, StopEndsTheWatchEvenAsItStartsAndSaysWhyWhenItCannot) {
    struct Row {
        const char* name;
        bool running;
        milliseconds windowAt;
        bool refuses;
        std::optional<milliseconds> endsAfter;
        int status;
        std::string why;
        milliseconds took;
    };
    const Row rows[] = {
        {"none runs", false, {}, false, {}, 0, "", milliseconds(0)},
        {"it ends when told", true, {}, false, milliseconds(300), 0, "", milliseconds(300)},
        {"its window comes after its mark", true, milliseconds(700), false, milliseconds(100), 0, "",
         milliseconds(800)},
        {"it runs with higher rights", true, {}, true, milliseconds(0), 3,
         "/stop: this session's watch runs with higher rights and cannot be told to end; run /stop the same way "
         "(as administrator)",
         milliseconds(0)},
        {"it never ends", true, {}, false, std::nullopt, 3, "/stop: this session's watch did not end within 5 seconds",
         milliseconds(5000)},
        {"its window never comes", true, milliseconds(99'000), false, milliseconds(0), 3,
         "/stop: this session's watch could not be reached within 5 seconds", milliseconds(5000)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeSession session;
        session.running = row.running;
        session.windowAt = row.windowAt;
        session.refuses = row.refuses;
        session.endsAfter = row.endsAfter;
        const WatchRunEnd end = StopTheWatch(session);
        EXPECT_EQ(end.status, row.status);
        EXPECT_EQ(end.why, row.why);
        EXPECT_EQ(session.now, row.took);
    }
}

}  // namespace
}  // namespace kestrum
