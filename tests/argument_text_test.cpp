#include "startup/argument_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrum {
namespace {

struct Case {
    const char* name;
    std::string commandLine;
    std::string argumentText;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ArgumentTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(ArgumentTextTest, SkipsTheProgramPath) {
    EXPECT_EQ(ArgumentText(GetParam().commandLine), GetParam().argumentText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArgumentTextTest,
    ::testing::Values(
        Case{"QuotedPathWithSpaces", R"("C:\Program Files\Kestrum\kestrum.exe" /AUTO /newsize=250)",
             "/AUTO /newsize=250"},
        Case{"QuotedPathNoBlankAfter", R"("C:\k.exe"/AUTO)", "/AUTO"},
        Case{"QuotedPathThenBlank", R"("C:\k.exe" /AUTO)", "/AUTO"},
        Case{"UnquotedPath", R"(C:\Tools\kestrum.exe /newsize=180)", "/newsize=180"},
        Case{"TabAfterPath", "kestrum.exe\t/AUTO", "/AUTO"},
        Case{"TabsAndSpacesAfterPath", "kestrum.exe \t \t/AUTO", "/AUTO"},
        Case{"TabInsideArgumentsKept", "kestrum.exe /newsize=2\t50 /auto", "/newsize=2\t50 /auto"},
        Case{"TrailingBlanksKept", "kestrum.exe /AUTO  ", "/AUTO  "},
        Case{"PathOnly", "kestrum.exe", ""},
        Case{"QuotedPathOnly", R"("C:\My Tools\kestrum.exe")", ""},
        Case{"BlanksOnlyAfterPath", "kestrum.exe   \t", ""},
        Case{"EmptyLine", "", ""},
        Case{"BlanksOnly", " \t ", ""},
        Case{"BlanksBeforePath", "  kestrum.exe /AUTO", "/AUTO"},
        Case{"UnclosedQuote", R"("C:\My Tools\kestrum.exe /AUTO)", ""},
        Case{"EmptyQuotes", R"("" /AUTO)", "/AUTO"},
        Case{"QuotesInArgumentsKept", R"(k.exe "/newsize=250" /auto)", R"("/newsize=250" /auto)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrum
