#include "startup/start_options.h"
#include "startup/start_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace kestrum {
namespace {

struct Case {
    std::string arguments;
    bool autoMode;
    std::int16_t newSize;
};

void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.arguments << '"'; }

class ParseStartOptionsTest : public ::testing::TestWithParam<Case> {};

TEST_P(ParseStartOptionsTest, GivesTheOptions) {
    const Case& c = GetParam();
    const ParsedStartOptions parsed = ParseStartOptions(c.arguments);
    EXPECT_FALSE(parsed.rejected) << c.arguments;
    EXPECT_EQ(parsed.options.AutoMode, c.autoMode) << c.arguments;
    EXPECT_EQ(parsed.options.NewSize, c.newSize) << c.arguments;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseStartOptionsTest,
    ::testing::Values(
        Case{"", false, 300}, Case{"/newsize=250", false, 250}, Case{"/NEWSIZE=250", false, 250},
        Case{"/NewSize=250", false, 250}, Case{"/auto /newsize=250", true, 250},
        Case{"/newsize=250 /auto", true, 250}, Case{"/AUTO", true, 300},
        Case{"/Auto", true, 300}, Case{"/AUTOMATIC", true, 300}, Case{"x/autoy", true, 300},
        Case{"/AUT O", false, 300}, Case{"AUTO", false, 300}, Case{"/newsize=", false, 300},
        Case{"/newsize=abc", false, 300}, Case{"/newsize=0", false, 300},
        Case{"/newsize=0.4", false, 300}, Case{"/newsize= 250", false, 300},
        Case{"/newsize=250px", false, 250}, Case{"/newsize=2.5", false, 2},
        Case{"/newsize=3.5", false, 4}, Case{"/newsize=1e2", false, 100},
        Case{"/newsize=120 /newsize=200", false, 120}, Case{"/newsize=32767", false, 32767},
        Case{"/newsize=1", false, 1}, Case{"/newsize=-0", false, 300},
        // Only a space ends the value: the tab and what follows are read too.
        Case{"/newsize=25\t0", false, 250}, Case{"/newsize =250", false, 300},
        Case{"\"/newsize=250\"", false, 250}, Case{"/newsize=250/auto", true, 250},
        Case{"/newsize=250 junk /x", false, 250}, Case{"/newsize=\xC3\xA9 /auto", true, 300},
        // A number inside the log's path is part of the path.
        Case{"/log=Z:/newsize=5/k.log /newsize=250", false, 250}, Case{"/log=\"C:/x /newsize=5\"", false, 300}));

struct OverflowCase {
    std::string arguments;
    std::string valueText;
    std::string key = "/newsize=";
};

void PrintTo(const OverflowCase& c, std::ostream* os) { *os << '"' << c.arguments << '"'; }

class ParseStartOptionsOverflowTest : public ::testing::TestWithParam<OverflowCase> {};

TEST_P(ParseStartOptionsOverflowTest, IsReportedWithTheValueAndTheDefaultKept) {
    const OverflowCase& c = GetParam();
    const ParsedStartOptions parsed = ParseStartOptions(c.arguments);
    EXPECT_TRUE(parsed.rejected) << c.arguments;
    EXPECT_EQ(parsed.rejectedValue.key, c.key);
    EXPECT_EQ(parsed.rejectedValue.valueText, c.valueText);
    if (c.key == "/newsize=") {
        EXPECT_EQ(parsed.options.NewSize, 300);
    }
    EXPECT_EQ(parsed.options.Wait, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseStartOptionsOverflowTest,
                         ::testing::Values(OverflowCase{"/newsize=32768", "32768"},
                                           OverflowCase{"/AUTO /newsize=99999 x", "99999"},
                                           OverflowCase{"/newsize=-32769", "-32769"},
                                           // A width below 1 never reaches a pane.
                                           OverflowCase{"/newsize=-5", "-5"}, OverflowCase{"/newsize=-0.6", "-0.6"},
                                           OverflowCase{"/newsize=1e999999999", "1e999999999"},
                                           OverflowCase{"/newsize=32767.5", "32767.5"},
                                           OverflowCase{"/wait=3601", "3601", "/wait="},
                                           OverflowCase{"/WAIT=-1 /newsize=250", "-1", "/wait="},
                                           OverflowCase{"/wait=99999", "99999", "/wait="},
                                           // The width's value is the one reported first.
                                           OverflowCase{"/wait=-5 /newsize=40000", "40000"}));

// The options beyond the width: the wait, read like the width, and the words
// that are looked for anywhere in any letter case.
TEST(ParseStartOptions, ReadsTheWaitQuietAndHelp) {
    struct Row {
        const char* arguments;
        std::int16_t wait;
        bool quiet;
        bool help;
    };
    const Row rows[] = {
        {"/AUTO /wait=120 /quiet /newsize=250", 120, true, false},
        {"/WAIT=10", 10, false, false},       {"/wait=", 0, false, false},
        {"/wait=abc", 0, false, false},       {"/wait=0", 0, false, false},
        {"/wait=3600", 3600, false, false},   {"/wait=2.5", 2, false, false},
        {"/wait= 30", 0, false, false},       {"/wait=5 /wait=9", 5, false, false},
        {"/QUIET", 0, true, false},           {"/Quietly", 0, true, false},
        {"/?", 0, false, true},               {"/HELP", 0, false, true},
        {"/newsize=250 /help", 0, false, true}, {"/AUTO", 0, false, false},
    };
    for (const Row& row : rows) {
        const ParsedStartOptions parsed = ParseStartOptions(row.arguments);
        EXPECT_FALSE(parsed.rejected) << row.arguments;
        EXPECT_EQ(parsed.options.Wait, row.wait) << row.arguments;
        EXPECT_EQ(parsed.options.Quiet, row.quiet) << row.arguments;
        EXPECT_EQ(parsed.options.Help, row.help) << row.arguments;
    }
    EXPECT_EQ(ParseStartOptions("/AUTO /wait=120 /quiet /newsize=250").options.NewSize, 250);
}

// The watch's options, and the log's file, whose path may be quoted and is
// never read for other options' keys.
TEST(ParseStartOptions, ReadsTheWatchItsSettlingTimeItsStopAndTheLog) {
    struct Row {
        const char* arguments;
        bool watch, stop, quiet, autoMode;
        std::int16_t settle;
        const char* logFile;
    };
    const Row rows[] = {
        {"/watch /newsize=250", true, false, false, false, 500, ""},
        {"/WATCH /settle=0 /log=C:\\k.log", true, false, false, false, 0, "C:\\k.log"},
        {"/Stop", false, true, false, false, 500, ""},
        {"/watch /settle=10000", true, false, false, false, 10000, ""},
        // No number at all keeps the default.
        {"/watch /settle= /stop", true, true, false, false, 500, ""},
        {"/watch /settle=soon", true, false, false, false, 500, ""},
        {"/log=\"C:\\Users\\Ann Lee\\kestrum.log\" /watch", true, false, false, false, 500,
         "C:\\Users\\Ann Lee\\kestrum.log"},
        {"/log=\"C:/quiet/auto dir/k.log\"", false, false, false, false, 500, "C:/quiet/auto dir/k.log"},
        {"/watch \"/log=C:\\a b\\k.log\" /stop", true, true, false, false, 500, "C:\\a b\\k.log"},
        {"/AUTO /log=C:/tmp/quiet.log /wait=5", false, false, false, true, 500, "C:/tmp/quiet.log"},
        {"/log=\"unclosed /quiet", false, false, false, false, 500, "unclosed /quiet"},
        {"/log= /quiet", false, false, true, false, 500, ""},
        {"/log=\"C:\\x /settle=99999\\k.log\" /watch", true, false, false, false, 500, "C:\\x /settle=99999\\k.log"},
        {"/log=Z:/newsize=5/settle=7/k.log /watch", true, false, false, false, 500, "Z:/newsize=5/settle=7/k.log"},
    };
    for (const Row& row : rows) {
        const ParsedStartOptions parsed = ParseStartOptions(row.arguments);
        EXPECT_FALSE(parsed.rejected) << row.arguments;
        EXPECT_EQ(parsed.options.Watch, row.watch) << row.arguments;
        EXPECT_EQ(parsed.options.Stop, row.stop) << row.arguments;
        EXPECT_EQ(parsed.options.Quiet, row.quiet) << row.arguments;
        EXPECT_EQ(parsed.options.AutoMode, row.autoMode) << row.arguments;
        EXPECT_EQ(parsed.options.SettleMs, row.settle) << row.arguments;
        EXPECT_EQ(parsed.options.LogFile, row.logFile) << row.arguments;
    }
    const ParsedStartOptions tooLong = ParseStartOptions("/watch /settle=10001");
    ASSERT_TRUE(tooLong.rejected);
    EXPECT_EQ(OutOfRangeMessage(tooLong.rejectedValue),
              "The settling time \"/settle=10001\" is out of range: it must lie between 0 and 10000 milliseconds.");
}

TEST(EchoedValue, IsShortAndShowsNoControlOrDirectionCharacter) {
    const std::string digits(32000, '7');
    EXPECT_EQ(EchoedValue(digits), std::string(40, '7') + "\xE2\x80\xA6");
    EXPECT_EQ(EchoedValue(std::string(40, '7')), std::string(40, '7'));
    EXPECT_EQ(EchoedValue("a\tb\x1B[2Jc\x7F"), "a?b?[2Jc?");
    // Right-to-left override, left-to-right isolate, a bare continuation byte.
    EXPECT_EQ(EchoedValue("12\xE2\x80\xAE" "34\xE2\x81\xA6\x80"), "12?34??");
    // Characters beyond ASCII count as one each and stay whole.
    const std::string wide = "\xC3\xA9\xE4\xB8\xAD";  // é中
    std::string many;
    for (int i = 0; i < 25; ++i) many += wide;
    std::string first40;
    for (int i = 0; i < 20; ++i) first40 += wide;
    EXPECT_EQ(EchoedValue(many), first40 + "\xE2\x80\xA6");
}

// /run='s value, read as Windows reads an argument: the program's path as
// Windows reads a command line's first, its arguments as written, nothing in
// them an option of Kestrum's; the wait a minute unless given. What makes no
// command line is refused.
TEST(ParseStartOptions, ReadsTheProgramToRun) {
    const struct {
        const char* arguments;
        ProgramLine program;
        bool autoMode = false;
        std::int16_t wait = 60;
    } rows[] = {
        {"/AUTO /run=\"C:\\C\\client.exe  -p x\" /wait=5", {"C:\\C\\client.exe", "-p x"}, true, 5},
        {"/run=\"\\\"C:\\Program Files\\c.exe\\\" /AUTO \\\"a b\\\" /log=k\"",
         {"C:\\Program Files\\c.exe", "/AUTO \"a b\" /log=k"}},
        {"\"/run=client /newsize=5\" /AUTO", {"client", "/newsize=5"}, true},
        {"/run=\"C:\\a b\\c.exe\"", {"C:\\a", "b\\c.exe"}},  // unquoted, a path ends at a blank
        {"/run=\"x a\\\\\\\" b\\\\\" /auto", {"x", "a\\\" b\\"}, true},  // 2n + 1 backslashes: n and a quote
        {"/log=\"C:\\x /run=y\" /run=z", {"z", ""}},
    };
    for (const auto& row : rows) {
        const StartPlan plan = PlanStart(row.arguments, nullptr, true);
        EXPECT_EQ(std::tuple(plan.rejected.has_value(), plan.options.Program, plan.options.AutoMode,
                             plan.options.NewSize, plan.options.Wait),
                  std::tuple(false, row.program, row.autoMode, std::int16_t{300}, row.wait))
            << row.arguments;
    }
    const std::string longest = "/run=" + std::string(32763, 'x');
    EXPECT_FALSE(ParseStartOptions(longest).rejected);
    const std::pair<std::string, std::string_view> refused[] = {
        {"/watch /run=", "is empty"},
        {"/watch /run=\"C:\\C\\client.exe /x", "has a quote that is not closed"},
        {"/run=\"\\\"C:\\C\\client.exe /x\"", "has a quote that is not closed"},
        {"/run=C:\\a\\\"b", "has a quote inside its program's path"},
        {longest + "x", "is too long for a command line"},
        {"/run=\xF0\x9F\x98\x80" + std::string(32762, 'x'), "is too long for a command line"},  // two units
    };
    for (const auto& [arguments, why] : refused) {
        const ParsedStartOptions parsed = ParseStartOptions(arguments);
        EXPECT_EQ(std::tuple(parsed.rejectedValue.key, parsed.rejectedValue.why, parsed.options.Program),
                  std::tuple("/run=", why, ProgramLine{}))
            << arguments.substr(0, 60);
    }
}

TEST(ParseStartOptions, OverflowStillReadsAutomaticMode) {
    EXPECT_TRUE(ParseStartOptions("/auto /newsize=40000").options.AutoMode);
}

}  // namespace
}  // namespace kestrum
