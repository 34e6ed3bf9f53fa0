// The command line's options.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum {

inline constexpr std::int16_t kDefaultWidth = 300;
// The longest wait for the clients that "/wait=" may ask, in seconds.
inline constexpr std::int16_t kLongestWait = 3600;

struct StartOptions {
    bool AutoMode = false;
    std::int16_t NewSize = kDefaultWidth;
    // Seconds to wait for the clients before start-up decides; 0: none.
    std::int16_t Wait = 0;
    // With AutoMode: no message box and no window, ever.
    bool Quiet = false;
    // "/?" or "/help": the usage is asked for.
    bool Help = false;
};

// A value given with an option that the option cannot take.
struct RejectedValue {
    std::string key;        // "/newsize=" or "/wait="
    std::string valueText;  // as written
};

struct ParsedStartOptions {
    StartOptions options;
    // Set when a value lies outside what its option takes: "/newsize=" beyond
    // -32768..32767, "/wait=" beyond 0..3600. The option then keeps its
    // default, and the first such value is kept here for the report.
    bool rejected = false;
    RejectedValue rejectedValue;
};

// Reads "/AUTO" (anywhere, any letter case, no tokenising: "/AUTOSTART" counts
// too), "/quiet", "/?" and "/help" the same way, and the first "/newsize=<value>"
// and "/wait=<value>" (any letter case; a value runs to the next space). A
// missing, unreadable or zero width leaves it at 300; every other width that
// fits 16 bits is taken unchanged, negative ones included. A wait of 0 or
// one that cannot be read is none. argumentText is the command line after
// the program's own path.
ParsedStartOptions ParseStartOptions(std::string_view argumentText);

// A value as a message may show it: its first 40 characters (then "…"), and
// any control or direction-changing character as "?", so that a hostile or
// mistaken command line cannot make a box unreadable. text is UTF-8.
std::string EchoedValue(std::string_view text);

}  // namespace kestrum
