// The log: lines appended as they come, a full file set aside once, a file
// that cannot be written stopping nothing.
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
    log.Write("x");  // lost, and nothing else
    RunLog none(nullptr);
    none.Write("not written");
    file.writable = true;
    log.Write("again");
    EXPECT_EQ(file.text, "T  a line too many\nT  again\n");
}

}  // namespace
}  // namespace kestrum
