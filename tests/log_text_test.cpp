// Another program's text in a log line: whatever it holds, it stays inside
// its quotes on its own line, and ordinary text stays as it is.
#include "log/log_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrum {
namespace {

TEST(EscapedForLogTest, EndsNoLineFakesNoFieldAndKeepsEveryScript) {
    struct Row {
        std::string text;
        std::string logged;
    };
    const Row rows[] = {
        {"Orders \xD0\x97\xD0\xB0\xD0\xBA \xE4\xB8\xAD Gr\xC3\xB6\xC3\x9F" "e \xF0\x9F\x98\x80", "Orders \xD0\x97\xD0\xB0\xD0\xBA \xE4\xB8\xAD Gr\xC3\xB6\xC3\x9F" "e \xF0\x9F\x98\x80"},
        {"Q\", pane 999: 1 -> 300, set", "Q\\\", pane 999: 1 -> 300, set"},
        {"C:\\new", "C:\\\\new"},
        {"a\nb\rc\vd\fe\tf\x7F", "a\\u000ab\\u000dc\\u000bd\\u000ce\\u0009f\\u007f"},
        {"x\xC2\x85" "2099-01-01 00:00:00  forged", "x\\u00852099-01-01 00:00:00  forged"},
        {"\xE2\x80\xA8line\xE2\x80\xA9para", "\\u2028line\\u2029para"},
        {"\x1B[2J\xE2\x80\xAE" "cba\xE2\x81\xA6", "\\u001b[2J\\u202ecba\\u2066"},
        // No character: a stray byte, an overlong quote, half a surrogate pair.
        {"\xFF\xC0\xA2\xED\xA0\x80", "\\xff\\xc0\\xa2\\xed\\xa0\\x80"},
    };
    for (const Row& row : rows) EXPECT_EQ(EscapedForLog(row.text), row.logged) << row.text;

    std::string many;
    for (int i = 0; i < 300; ++i) many += "\xC3\xA9";  // é
    EXPECT_EQ(EscapedForLog(many), many.substr(0, 2 * kLoggedTextLength) + "\xE2\x80\xA6");
}

}  // namespace
}  // namespace kestrum
