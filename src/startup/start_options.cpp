#include "startup/start_options.h"

#include <algorithm>
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

}  // namespace

ParsedStartOptions ParseStartOptions(std::string_view argumentText) {
    ParsedStartOptions parsed;
    parsed.options.AutoMode = FoldCase(argumentText, true).find("/AUTO") != std::string::npos;

    constexpr std::string_view key = "/newsize=";
    const std::size_t keyAt = FoldCase(argumentText, false).find(key);
    if (keyAt == std::string::npos) return parsed;

    const std::size_t valueAt = keyAt + key.size();
    const std::size_t blankAt = argumentText.find(' ', valueAt);
    const std::string_view value = argumentText.substr(
        valueAt, blankAt == std::string_view::npos ? std::string_view::npos : blankAt - valueAt);

    const std::optional<std::int16_t> width = ReadLeadingNumber(value);
    if (!width) {
        parsed.widthOverflow = true;
        parsed.widthValueText = std::string(value);
    } else if (*width != 0) {
        parsed.options.NewSize = *width;
    }
    return parsed;
}

}  // namespace kestrum
