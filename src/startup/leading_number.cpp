#include "startup/leading_number.h"

#include <algorithm>
#include <limits>

namespace kestrum {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without the characters that reading skips.
std::string Compact(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') kept.push_back(c);
    }
    return kept;
}

// A decimal number as written: value = (negative ? -1 : 1) * digits * 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits;  // significant digits, no leading zeros; empty for zero
    std::int64_t exponent = 0;
};

// The exponent can be written with any number of digits; beyond this bound
// every nonzero value overflows or rounds to 0 anyway, so it saturates here.
constexpr std::int64_t kExponentBound = 4'000'000'000LL;

// Parses the longest beginning of text that forms a number; nullopt if none.
std::optional<Decimal> ParseDecimal(const std::string& text) {
    std::size_t i = 0;
    Decimal number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    std::string mantissa;
    std::size_t integerDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++integerDigits) mantissa.push_back(text[i]);
    std::size_t fractionDigits = 0;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        for (; j < text.size() && IsDigit(text[j]); ++j, ++fractionDigits) {
            mantissa.push_back(text[j]);
        }
        // "5." is 5; ".5" is a half; a point with no digit on either side is
        // no number.
        if (integerDigits + fractionDigits > 0) i = j;
    }
    if (integerDigits + fractionDigits == 0) return std::nullopt;

    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        // An "E" that is not followed by digits is not part of the number.
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                exponent = std::min(exponent * 10 + (text[j] - '0'), kExponentBound);
            }
            if (negativeExponent) exponent = -exponent;
        }
    }

    const std::size_t firstNonZero = mantissa.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return number;  // zero, whatever the exponent
    const std::size_t lastNonZero = mantissa.find_last_not_of('0');
    number.digits = mantissa.substr(firstNonZero, lastNonZero - firstNonZero + 1);
    // digits * 10^exponent: the trailing zeros dropped raise the exponent.
    number.exponent = exponent - static_cast<std::int64_t>(fractionDigits) +
                      static_cast<std::int64_t>(mantissa.size() - 1 - lastNonZero);
    return number;
}

// Rounds half to even; nullopt when the result does not fit 16 bits.
std::optional<std::int16_t> RoundToInt16(const Decimal& number) {
    if (number.digits.empty()) return 0;
    const auto digitCount = static_cast<std::int64_t>(number.digits.size());
    // How many digits stand before the decimal point.
    const std::int64_t integerDigits = digitCount + number.exponent;
    if (integerDigits > 6) return std::nullopt;  // at least 1,000,000
    std::int64_t integer = 0;
    for (std::int64_t k = 0; k < integerDigits; ++k) {
        integer = integer * 10 + (k < digitCount ? number.digits[static_cast<std::size_t>(k)] - '0' : 0);
    }
    // The fraction: digits from position integerDigits on (positions below 0
    // are leading zeros of the fraction).
    const std::int64_t firstFraction = integerDigits;
    if (firstFraction < digitCount) {
        const int first = firstFraction >= 0 ? number.digits[static_cast<std::size_t>(firstFraction)] - '0' : 0;
        // Since trailing zeros were dropped, any digit after the first one
        // makes the fraction differ from exactly .5.
        const bool moreAfterFirst = firstFraction + 1 < digitCount;
        const bool roundUp = first > 5 || (first == 5 && (moreAfterFirst || integer % 2 == 1));
        if (roundUp) ++integer;
    }
    const std::int64_t value = number.negative ? -integer : integer;
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace

std::optional<std::int16_t> ReadLeadingNumber(std::string_view text) {
    const std::optional<Decimal> number = ParseDecimal(Compact(text));
    if (!number) return 0;
    return RoundToInt16(*number);
}

bool StartsWithNumber(std::string_view text) { return ParseDecimal(Compact(text)).has_value(); }

std::string WidthText(std::int16_t width) { return std::to_string(width); }

}  // namespace kestrum
