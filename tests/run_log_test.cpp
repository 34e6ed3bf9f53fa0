// The log: lines appended as they come, a full file set aside once, a file
// that cannot be written stopping nothing, and never more than its limit.
#include "log/run_log.h"

#include <gtest/gtest.h>

#include <string>

#include "support/memory_log_file.h"

namespace kestrum {
namespace {

TEST(RunLogTest, AppendsLinesAndSetsAFullLogAside) {
    testing::MemoryLogFile file;
    RunLog log(&file, 40, [] { return std::string("T"); });
    log.Write("started");
    log.Write("two\nlines");
    EXPECT_EQ(file.text, "T  started\nT  two lines\n");
    log.Write("a line too many");  // 24 + 18 bytes would pass the limit
    EXPECT_EQ(file.setAside, "T  started\nT  two lines\n");
    EXPECT_EQ(file.text, "T  a line too many\n");

    file.writable = false;
    log.Write("x");  // lost, and told with the next line written
    RunLog none(nullptr);
    none.Write("not written");
    file.writable = true;
    log.Write("again");
    EXPECT_EQ(file.setAside, "T  a line too many\n");
    EXPECT_EQ(file.text, "T  1 line was lost: the log could not be written\nT  again\n");
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
        RunLog log(&file, 300, [] { return std::string("T"); });
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
    RunLog log(&file, 1024 * 1024, [] { return std::string("2026-12-07 14:05:09"); });
    log.Write(std::string(10'000, 'x'));
    EXPECT_EQ(file.text.size(), kLongestLogLine);
    EXPECT_EQ(file.text.substr(kLongestLogLine - 4), "\xE2\x80\xA6\n");
}

}  // namespace
}  // namespace kestrum
