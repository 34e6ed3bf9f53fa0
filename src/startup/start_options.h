// The command line's two options.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum {

inline constexpr std::int16_t kDefaultWidth = 300;

struct StartOptions {
    bool AutoMode = false;
    std::int16_t NewSize = kDefaultWidth;
};

struct ParsedStartOptions {
    StartOptions options;
    // Set when the "/newsize=" value rounds to a number outside -32768..32767;
    // options.NewSize then keeps the default and widthValueText holds the
    // value as written, for the report.
    bool widthOverflow = false;
    std::string widthValueText;
};

// Reads "/AUTO" (anywhere, any letter case, no tokenising: "/AUTOSTART" counts
// too) and the first "/newsize=<value>" (any letter case; the value runs to
// the next space). A missing, unreadable or zero value leaves the width at
// 300; every other value that fits 16 bits is taken unchanged, negative ones
// included. argumentText is the command line after the program's own path.
ParsedStartOptions ParseStartOptions(std::string_view argumentText);

}  // namespace kestrum
