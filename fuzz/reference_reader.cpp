#include "reference_reader.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace kestrum::reference {
namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Does `key` (lower case) stand at position `at` of text, in any letter case?
bool KeyAt(std::string_view text, std::size_t at, std::string_view key) {
    if (at + key.size() > text.size()) return false;
    for (std::size_t k = 0; k < key.size(); ++k) {
        if (Lower(text[at + k]) != key[k]) return false;
    }
    return true;
}

// The run of digits starting at `at`.
std::string DigitsAt(const std::string& s, std::size_t at) {
    std::string run;
    while (at + run.size() < s.size() && Digit(s[at + run.size()])) run += s[at + run.size()];
    return run;
}

}  // namespace

std::optional<std::int16_t> ReadNumber(std::string_view text) {
    // 1. Drop blanks, tabs and line feeds.
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    }

    // 2. The longest beginning of the form [sign] int [. frac] [E [sign] exp].
    std::size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    const std::string intPart = DigitsAt(s, pos);
    pos += intPart.size();
    std::string fracPart;
    if (pos < s.size() && s[pos] == '.') {
        fracPart = DigitsAt(s, pos + 1);
        if (intPart.empty() && fracPart.empty()) return 0;  // a lone point
        pos += 1 + fracPart.size();
    }
    if (intPart.empty() && fracPart.empty()) return 0;  // no number at all

    bool expNegative = false;
    std::string expDigits;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        std::size_t at = pos + 1;
        bool minus = false;
        if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
            minus = s[at] == '-';
            ++at;
        }
        expDigits = DigitsAt(s, at);
        expNegative = minus && !expDigits.empty();
    }

    // 3. The value is 0.M * 10^point, with M = intPart + fracPart and the
    //    decimal point `point` digits into M.
    const std::string m = intPart + fracPart;
    const std::size_t firstNonZero = m.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return 0;  // zero, whatever the exponent

    // The exponent, as written; more than nine digits (after leading zeros)
    // is beyond anything that matters: M has far fewer digits than that, so
    // such a value is either at least 10^6 or well below one half.
    const std::size_t expStart = expDigits.find_first_not_of('0');
    const std::string exp = expStart == std::string::npos ? "" : expDigits.substr(expStart);
    if (exp.size() > 9) {
        if (expNegative) return 0;
        return std::nullopt;
    }
    const long long e = exp.empty() ? 0 : std::stoll(exp);
    const long long point = static_cast<long long>(intPart.size()) + (expNegative ? -e : e);

    // 4. Integer part: digits of M before the point (zeros past M's end).
    //    More than six significant digits there is at least 1,000,000.
    if (point - static_cast<long long>(firstNonZero) > 6) return std::nullopt;
    if (point < 0) return 0;  // below 0.1
    long long integer = 0;
    for (long long k = 0; k < point; ++k) {
        const char d = k < static_cast<long long>(m.size()) ? m[static_cast<std::size_t>(k)] : '0';
        integer = integer * 10 + (d - '0');
    }
    const std::string fraction =
        point < static_cast<long long>(m.size()) ? m.substr(static_cast<std::size_t>(point)) : "";

    // 5. Compare the fraction with one half: more, exactly, or less.
    int versusHalf = -1;
    if (!fraction.empty()) {
        if (fraction[0] > '5') {
            versusHalf = 1;
        } else if (fraction[0] == '5') {
            versusHalf = fraction.find_first_not_of('0', 1) == std::string::npos ? 0 : 1;
        }
    }
    if (versusHalf > 0 || (versusHalf == 0 && integer % 2 == 1)) ++integer;

    const long long value = negative ? -integer : integer;
    if (value < -32768 || value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

// Where the value of the text option whose key stands at `i` ends: /log='s
// at its closing quote or first space, /run='s where Windows ends an
// argument (quotes toggle, an odd run of backslashes makes a quote plain, a
// blank outside quotes ends it).
std::size_t ValueEnd(std::string_view text, std::size_t i, std::string_view key) {
    std::size_t to = i + key.size();
    bool quoted = i > 0 && text[i - 1] == '"';
    if (key == "/log=") {
        const bool quotedAfter = to < text.size() && text[to] == '"';
        return std::min(text.find(quoted || quotedAfter ? '"' : ' ', to + quotedAfter), text.size());
    }
    while (to < text.size() && (quoted || (text[to] != ' ' && text[to] != '\t'))) {
        if (text[to] == '\\') {
            const std::size_t run = std::min(text.find_first_not_of('\\', to), text.size()) - to;
            to += run;
            if (run % 2 == 1 && to < text.size() && text[to] == '"') ++to;
            continue;
        }
        if (text[to++] == '"') quoted = !quoted;
    }
    return to;
}

Options ParseOptions(std::string_view argumentText) {
    Options options;
    // The text values, the one written first first, are no place for another
    // option (nor for the other text option's key).
    std::vector<std::pair<std::size_t, std::size_t>> values;
    const auto inValue = [&values](std::size_t i, std::size_t length) {
        return std::any_of(values.begin(), values.end(),
                           [&](const auto& v) { return i >= v.first && i + length <= v.second; });
    };
    for (std::vector<std::string_view> keys = {"/log=", "/run="}; !keys.empty();) {
        auto first = keys.end();
        std::size_t firstAt = argumentText.size();
        for (auto key = keys.begin(); key != keys.end(); ++key) {
            for (std::size_t i = 0; i < firstAt; ++i) {
                if (KeyAt(argumentText, i, *key) && !inValue(i, key->size())) {
                    std::tie(first, firstAt) = std::pair(key, i);
                }
            }
        }
        if (first == keys.end()) break;
        values.emplace_back(firstAt + first->size(), ValueEnd(argumentText, firstAt, *first));
        keys.erase(first);
    }
    for (std::size_t i = 0; i < argumentText.size(); ++i) {
        if (!inValue(i, 5) && KeyAt(argumentText, i, "/auto")) options.autoMode = true;
    }
    for (std::size_t i = 0; i < argumentText.size(); ++i) {
        if (inValue(i, 9) || !KeyAt(argumentText, i, "/newsize=")) continue;
        std::string value;
        for (std::size_t k = i + 9; k < argumentText.size() && argumentText[k] != ' '; ++k) {
            value += argumentText[k];
        }
        const std::optional<std::int16_t> width = ReadNumber(value);
        // A width below 1 is refused, 0 (as any text that is no number) meaning "not given".
        if (!width || *width < 0) {
            options.widthOverflow = true;
            options.widthValueText = value;
        } else if (*width != 0) {
            options.newSize = *width;
        }
        break;  // the first occurrence only
    }
    return options;
}

}  // namespace kestrum::reference
