#include "startup/leading_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kestrum {
namespace {

struct Reading {
    std::string text;
    std::optional<std::int16_t> expected;  // nullopt: overflow
};

void PrintTo(const Reading& r, std::ostream* os) { *os << '"' << r.text.substr(0, 40) << '"'; }

class ReadLeadingNumberTest : public ::testing::TestWithParam<Reading> {};

TEST_P(ReadLeadingNumberTest, ReadsTheWrittenDecimal) {
    const Reading& r = GetParam();
    EXPECT_EQ(ReadLeadingNumber(r.text), r.expected) << "text: \"" << r.text << "\"";
}

constexpr std::nullopt_t kOverflow = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    PlainAndMessy, ReadLeadingNumberTest,
    ::testing::Values(Reading{"250", 250}, Reading{"", 0}, Reading{"abc", 0},
                      Reading{"250px", 250}, Reading{"12abc", 12}, Reading{" 3 0 0 ", 300},
                      Reading{"3\t0\n0", 300}, Reading{"3\r0", 3}, Reading{"+7", 7},
                      Reading{"-40", -40}, Reading{"-0", 0}, Reading{"--5", 0},
                      Reading{"-", 0}, Reading{".", 0}, Reading{"1.2.3", 1},
                      Reading{"1,5", 1}, Reading{"000000000000000000001", 1},
                      Reading{"5.", 5}, Reading{".6", 1}, Reading{"0x1F", 0}));

INSTANTIATE_TEST_SUITE_P(
    Exponents, ReadLeadingNumberTest,
    ::testing::Values(Reading{"1e2", 100}, Reading{"1E2", 100}, Reading{"1e+2", 100},
                      Reading{"2500e-1", 250}, Reading{"327.67e2", 32767}, Reading{"1e", 1},
                      Reading{"1e+", 1}, Reading{"1ex", 1}, Reading{"1e 2", 100},
                      Reading{"0e999999999", 0}, Reading{"1e-999999999", 0},
                      Reading{"1e999999999", kOverflow},
                      Reading{"1e99999999999999999999999999", kOverflow},
                      Reading{"0.000000000000000000000005e22", 0},
                      Reading{"0.000000000000000000000006e23", 1}));

INSTANTIATE_TEST_SUITE_P(
    HalfToEvenOnTheWrittenDigits, ReadLeadingNumberTest,
    ::testing::Values(Reading{"2.5", 2}, Reading{"3.5", 4}, Reading{"-2.5", -2},
                      Reading{"-3.5", -4}, Reading{"0.5", 0}, Reading{"1.5", 2},
                      Reading{"0.51", 1}, Reading{"0.49999", 0}, Reading{"0.04", 0},
                      Reading{"2.50000000000000000001", 3},
                      Reading{"2.50000000000000000000", 2},
                      Reading{"32767.4999999999999999", 32767}));

INSTANTIATE_TEST_SUITE_P(
    SixteenBitRange, ReadLeadingNumberTest,
    ::testing::Values(Reading{"32767", 32767}, Reading{"-32768", -32768},
                      Reading{"32768", kOverflow}, Reading{"-32769", kOverflow},
                      Reading{"32767.5", kOverflow}, Reading{"-32768.5", -32768},
                      Reading{"-32768.5000001", kOverflow}, Reading{"100000", kOverflow},
                      Reading{"99999999999999999999", kOverflow},
                      Reading{std::string(5000, '9'), kOverflow},
                      Reading{"0." + std::string(5000, '9'), 1}));

}  // namespace
}  // namespace kestrum
