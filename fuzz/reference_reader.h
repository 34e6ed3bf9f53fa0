// A second, deliberately plain reading of widths and of the command line,
// written apart from the program's own so that the fuzzer can hold the two
// against each other. Speed does not matter here; being obviously right does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum::reference {

// The number at the start of text, rounded half to even on the written
// decimal digits; nullopt when the rounded value lies outside -32768..32767.
std::optional<std::int16_t> ReadNumber(std::string_view text);

struct Options {
    bool autoMode = false;
    std::int16_t newSize = 300;
    bool widthOverflow = false;
    std::string widthValueText;
};

Options ParseOptions(std::string_view argumentText);

}  // namespace kestrum::reference
