// The log: lines appended as they come, a full file set aside once, a file
// that cannot be written stopping nothing, and never more than its limit;
// and what it is told, as its line and, at the level that asks for it, its
// event.
#include "log/run_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "support/memory_event_log.h"
#include "support/memory_log_file.h"

namespace kestrum {
namespace {

using testing::MemoryEventLog;

TEST(RunLogTest, AppendsLinesAndSetsAFullLogAside) {
    testing::MemoryLogFile file;
    LogWriter log(&file, 40, [] { return std::string("T"); });
    log.Write("started");
    log.Write("two\nlines");
    EXPECT_EQ(file.text, "T  started\nT  two lines\n");
    log.Write("a line too many");  // 24 + 18 bytes would pass the limit
    EXPECT_EQ(file.setAside, "T  started\nT  two lines\n");
    EXPECT_EQ(file.text, "T  a line too many\n");

    file.writable = false;
    log.Write("x");  // lost, and told with the next line written
    LogWriter none(nullptr);
    none.Write("not written");
    file.writable = true;
    log.Write("again");
    EXPECT_EQ(file.setAside, "T  a line too many\n");
    EXPECT_EQ(file.text, "T  1 line was lost: the log could not be written\nT  again\n");
    log.Write("once");
    EXPECT_EQ(file.text, "T  once\n") << "the loss told once";
}

// Whatever stands in the way of setting it aside, the log stays within its
// limit, and the next line written says what was lost and why.
TEST(RunLogTest, StaysWithinItsLimitWhenItCannotBeSetAside) {
    struct Row {
        bool beginAgain;
        std::string told;
    };
    const Row rows[] = {
        {true, "T  the log was begun again, as it could not be set aside (renamed to its name with .1 added): "},
        {false, "T  23 lines were lost: the log is full and could be neither set aside nor begun again\nT  unblocked\n"},
    };
    for (const Row& row : rows) {
        testing::MemoryLogFile file;
        file.canSetAside = false;
        file.canBeginAgain = row.beginAgain;
        LogWriter log(&file, 300, [] { return std::string("T"); });
        for (int i = 10; i < 60; ++i) {
            log.Write("line " + std::to_string(i));  // 11 bytes
            ASSERT_LE(file.text.size(), 300u) << i;
        }
        file.canSetAside = true;
        log.Write("unblocked");
        EXPECT_NE(file.text.find(row.told), std::string::npos) << file.text;
    }
}

TEST(RunLogTest, ALineIsNeverLongerThanItsBound) {
    testing::MemoryLogFile file;
    LogWriter log(&file, 1024 * 1024, [] { return std::string("2026-12-07 14:05:09"); });
    log.Write(std::string(10'000, 'x'));
    EXPECT_EQ(file.text.size(), kLongestLogLine);
    EXPECT_EQ(file.text.substr(kLongestLogLine - 4), "\xE2\x80\xA6\n");
}

// The highest %N that kestrum.mc's sentence of event `id` puts a string in
// for; -1 when it has no such event.
int HighestInsertion(std::uint32_t id) {
    std::ifstream file(KESTRUM_MESSAGE_FILE);
    const std::string mc{std::istreambuf_iterator<char>(file), {}};
    int highest = -1;
    const std::size_t start = mc.find("MessageId=" + std::to_string(id) + "\n");
    for (std::size_t i = start; i < mc.find("\n.\n", start); ++i) {
        if (mc[i] == '%' && std::isdigit(static_cast<unsigned char>(mc[i + 1]))) {
            highest = std::max(highest, mc[i + 1] - '0');
        }
    }
    return highest;
}

PaneOutcome Outcome(ResetOutcome outcome) {
    return {65552, "Orders", {outcome, 65560, 220, 220}, 300, Source::MachinePolicy};
}

template <typename What>
std::function<void(RunLog&)> Telling(What what) {
    return [what](RunLog& log) { log.Tell(what); };
}

struct EventCase {
    const char* name;
    std::function<void(RunLog&)> tell;
    std::string line;
    std::vector<std::pair<std::uint32_t, EventType>> events;  // at level `from` and above
    EventLevel from = EventLevel::Problems;
};

void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }

class RunLogEventTest : public ::testing::TestWithParam<EventCase> {};

TEST_P(RunLogEventTest, TellsTheLineAndTheEventAtItsLevel) {
    const EventCase& c = GetParam();
    for (const EventLevel level : {EventLevel::None, EventLevel::Problems, EventLevel::Every}) {
        testing::MemoryLogFile file;
        MemoryEventLog events;
        RunLog log(&file, 1 << 20, [] { return std::string("T"); });
        log.SendEventsTo(&events, level);
        c.tell(log);
        EXPECT_EQ(file.text, "T  " + c.line + "\n");
        ASSERT_EQ(events.events.size(), level >= c.from && level != EventLevel::None ? c.events.size() : 0);
        for (std::size_t i = 0; i < events.events.size(); ++i) {
            EXPECT_EQ(std::pair(events.events[i].id, events.events[i].type), c.events[i]);
            EXPECT_EQ(HighestInsertion(events.events[i].id), static_cast<int>(events.events[i].strings.size()))
                << "kestrum.mc's sentence puts in every string the event carries, and no other";
        }
    }
}

using enum EventType;
const std::string kPane = "client 65552 \"Orders\", pane 65560: 220 -> 220, ";
INSTANTIATE_TEST_SUITE_P(
    Told, RunLogEventTest,
    ::testing::Values(
        EventCase{"WidthSet", Telling(Outcome(ResetOutcome::Moved)), kPane + "set", {{1100, Information}},
                  EventLevel::Every},
        EventCase{"NotAnswering", Telling(Outcome(ResetOutcome::NotAnswering)), kPane + "not answering",
                  {{1200, Warning}}},
        EventCase{"NotTaken", Telling(Outcome(ResetOutcome::NotTaken)), kPane + "not taken", {{1201, Warning}}},
        EventCase{"Refused", Telling(Outcome(ResetOutcome::Refused)), kPane + "refused", {{1202, Warning}}},
        EventCase{"AnotherAccount", Telling(Outcome(ResetOutcome::OtherAccount)), kPane + "refused (another account)",
                  {{1208, Warning}}},
        EventCase{"PaneGone", Telling(Outcome(ResetOutcome::PaneGone)), kPane + "gone", {}},
        EventCase{"SeveralPanes", Telling(SeveralPanes{65552, "Orders", 65560}),
                  "client 65552 \"Orders\", pane 65560: several panes, left alone", {{1203, Warning}}},
        EventCase{"PolicyIgnored", Telling(PolicyIgnored{"NewSize = 0 is ignored"}), "NewSize = 0 is ignored",
                  {{1204, Warning}}},
        EventCase{"NoClient", Telling(NothingChosen{}), "no client found", {{1205, Warning}}},
        EventCase{"UserWidthOutOfRange", Telling(UserWidthIgnored{{0}}),
                  "your own width 0 is ignored: it must lie between 1 and 32767", {{1206, Warning}}},
        EventCase{"UserWidthNotANumber", Telling(UserWidthIgnored{{std::nullopt, true}}),
                  "your own width is ignored: it is not a number (REG_DWORD)", {{1206, Warning}}},
        EventCase{"SeveralClientsQuiet", Telling(NothingChosen{NothingChosen::Why::SeveralClients, false}),
                  "several clients, nothing changed", {{1205, Warning}}},
        EventCase{"NoPaneTheWindowShown", Telling(NothingChosen{NothingChosen::Why::NoPane, true}),
                  "no pane, the window is shown", {}},
        EventCase{"WatchStarted", Telling(WatchStarted{250, Source::UserPolicy, 500, Source::Given}),
                  "started: width 250 from the user's policy, settling time 500 ms from the command line",
                  {{1000, Information}}},
        EventCase{"SessionEnded", Telling(WatchEnd::SessionEnded), "session ended", {{1001, Information}}},
        EventCase{"StoppedFromIcon", Telling(WatchEnd::StoppedFromIcon), "stopped from its icon",
                  {{1001, Information}}},
        EventCase{"WatchFailed", Telling(Failure::WatchFailed), "ended: internal failure",
                  {{1300, Error}, {1001, Information}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A width set told again (a client making its pane anew) gives its line and
// no event, nor does what is done in the window an unattended run shows.
TEST(RunLogTest, AnOutcomeToldAgainAndOneInTheWindowShownGiveNoEvent) {
    testing::MemoryLogFile file;
    MemoryEventLog events;
    RunLog log(&file);
    log.SendEventsTo(&events, EventLevel::Every);
    log.Tell(Outcome(ResetOutcome::NotAnswering));
    PaneOutcome again = Outcome(ResetOutcome::Moved);
    again.again = true;
    log.Tell(again);
    ASSERT_EQ(events.events.size(), 1u);
    EXPECT_EQ(events.events[0].strings, (std::vector<std::string>{"65552", "Orders", "65560", "220", "220", "300",
                                                                  "the computer's policy", "not answering"}));
    log.Tell(NothingChosen{NothingChosen::Why::SeveralClients, true});
    log.Tell(PaneOutcome{80000, "Stock", {ResetOutcome::Refused, 80008}, 300, Source::Given});
    EXPECT_EQ(events.events.size(), 1u);
    EXPECT_EQ(std::count(file.text.begin(), file.text.end(), '\n'), 4);
}

}  // namespace
}  // namespace kestrum
