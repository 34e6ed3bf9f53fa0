#include "startup/start_options.h"

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_FALSE(parsed.widthOverflow) << c.arguments;
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
        Case{"/newsize=-40", false, -40}, Case{"/newsize=120 /newsize=200", false, 120},
        Case{"/newsize=32767", false, 32767}, Case{"/newsize=-32768", false, -32768},
        // Only a space ends the value: the tab and what follows are read too.
        Case{"/newsize=25\t0", false, 250}, Case{"/newsize =250", false, 300},
        Case{"\"/newsize=250\"", false, 250}, Case{"/newsize=250/auto", true, 250},
        Case{"/newsize=250 junk /x", false, 250}, Case{"/newsize=\xC3\xA9 /auto", true, 300}));

struct OverflowCase {
    std::string arguments;
    std::string valueText;
};

void PrintTo(const OverflowCase& c, std::ostream* os) { *os << '"' << c.arguments << '"'; }

class ParseStartOptionsOverflowTest : public ::testing::TestWithParam<OverflowCase> {};

TEST_P(ParseStartOptionsOverflowTest, IsReportedWithTheValueAndTheDefaultKept) {
    const OverflowCase& c = GetParam();
    const ParsedStartOptions parsed = ParseStartOptions(c.arguments);
    EXPECT_TRUE(parsed.widthOverflow) << c.arguments;
    EXPECT_EQ(parsed.widthValueText, c.valueText);
    EXPECT_EQ(parsed.options.NewSize, 300);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseStartOptionsOverflowTest,
                         ::testing::Values(OverflowCase{"/newsize=32768", "32768"},
                                           OverflowCase{"/AUTO /newsize=99999 x", "99999"},
                                           OverflowCase{"/newsize=-32769", "-32769"},
                                           OverflowCase{"/newsize=1e999999999", "1e999999999"},
                                           OverflowCase{"/newsize=32767.5", "32767.5"}));

TEST(ParseStartOptions, OverflowStillReadsAutomaticMode) {
    EXPECT_TRUE(ParseStartOptions("/auto /newsize=40000").options.AutoMode);
}

}  // namespace
}  // namespace kestrum
