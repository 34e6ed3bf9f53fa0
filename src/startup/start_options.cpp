#include "startup/start_options.h"

#include <optional>

#include "startup/leading_number.h"

namespace kestrum {
namespace {

// Letter case is folded for ASCII letters only, so every character keeps its
// place: a position found in the folded text is the same position in the
// text as given.
std::string FoldCase(std::string_view text, bool upper) {
    std::string folded(text);
    for (char& c : folded) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// The value text of the first `key` (lower case) in the argument text: from
// after the key to the first blank; nullopt when the key is not there.
std::optional<std::string_view> ValueOf(std::string_view argumentText, const std::string& lower,
                                        std::string_view key) {
    const std::size_t keyAt = lower.find(key);
    if (keyAt == std::string::npos) return std::nullopt;
    const std::size_t valueAt = keyAt + key.size();
    const std::size_t blankAt = argumentText.find(' ', valueAt);
    return argumentText.substr(
        valueAt, blankAt == std::string_view::npos ? std::string_view::npos : blankAt - valueAt);
}

// Decodes one UTF-8 character at `at`, moving past it; kNoCharacter for
// bytes that form none.
constexpr char32_t kNoCharacter = 0x110000;

char32_t NextCharacter(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int length = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (length < 0) return kNoCharacter;
    char32_t c = length == 0 ? lead : lead & (0x3F >> length);
    for (int i = 0; i < length; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return kNoCharacter;
        c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    return c;
}

bool ShownAsIs(char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    // The marks and embeddings that change the direction of the text after them.
    const bool direction = c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
                           (c >= 0x2066 && c <= 0x2069);
    return !control && !direction && c < kNoCharacter;
}

}  // namespace

ParsedStartOptions ParseStartOptions(std::string_view argumentText) {
    ParsedStartOptions parsed;
    StartOptions& options = parsed.options;
    const std::string upper = FoldCase(argumentText, true);
    const std::string lower = FoldCase(argumentText, false);
    options.AutoMode = upper.find("/AUTO") != std::string::npos;
    options.Quiet = lower.find("/quiet") != std::string::npos;
    options.Help = lower.find("/?") != std::string::npos || lower.find("/help") != std::string::npos;

    const auto reject = [&parsed](std::string_view key, std::string_view value) {
        if (parsed.rejected) return;
        parsed.rejected = true;
        parsed.rejectedValue = {std::string(key), std::string(value)};
    };
    if (const auto value = ValueOf(argumentText, lower, "/newsize=")) {
        const std::optional<std::int16_t> width = ReadLeadingNumber(*value);
        if (!width) {
            reject("/newsize=", *value);
        } else if (*width != 0) {
            options.NewSize = *width;
        }
    }
    if (const auto value = ValueOf(argumentText, lower, "/wait=")) {
        const std::optional<std::int16_t> wait = ReadLeadingNumber(*value);
        if (!wait || *wait < 0 || *wait > kLongestWait) {
            reject("/wait=", *value);
        } else {
            options.Wait = *wait;
        }
    }
    return parsed;
}

std::string EchoedValue(std::string_view text) {
    constexpr int kShown = 40;
    std::string echoed;
    std::size_t at = 0;
    for (int count = 0; at < text.size(); ++count) {
        if (count == kShown) return echoed + "\xE2\x80\xA6";  // …
        const std::size_t from = at;
        const char32_t c = NextCharacter(text, at);
        if (ShownAsIs(c)) {
            echoed.append(text.substr(from, at - from));
        } else {
            echoed.push_back('?');
        }
    }
    return echoed;
}

}  // namespace kestrum
