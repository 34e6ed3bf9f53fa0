// The command line's options, declared once: the parser, the messages about
// a value out of range and the usage all read the table below.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "winsys/program_line.h"

namespace kestrum {

inline constexpr std::int16_t kDefaultWidth = 300;
inline constexpr std::int16_t kDefaultSettleMs = 500;

struct StartOptions {
    bool AutoMode = false;
    std::int16_t NewSize = kDefaultWidth;
    // Seconds to wait for the clients before start-up decides; 0: none.
    std::int16_t Wait = 0;
    // With AutoMode: no message box and no window, ever.
    bool Quiet = false;
    // "/?" or "/help": the usage is asked for.
    bool Help = false;
    // Stay running and set every client's pane as it appears.
    bool Watch = false;
    // End this session's watch.
    bool Stop = false;
    // What this session's watch is asked to do, as its icon's menu does.
    bool Apply = false;
    bool Pause = false;
    bool Resume = false;
    bool Forget = false;
    // How long a new pane must keep its place and size before the watch sets it.
    std::int16_t SettleMs = kDefaultSettleMs;
    // Where the unattended run and the watch tell what they did; empty: nowhere.
    std::string LogFile;
    // The program to start (the client) and its arguments, as written: read
    // into Program once it is known to make a command line.
    std::string Run;
    ProgramLine Program;
};

// One option. A flag is set when its key occurs anywhere in the command line
// (any letter case, no tokenising: "/AUTOSTART" sets /AUTO); a valued option
// takes the text after the first occurrence of its key up to the next space
// (a text value may be quoted: then up to the closing quote; one read as an
// argument is read as Windows reads one, \" a quote inside it).
struct OptionSpec {
    std::string_view key;
    std::variant<bool StartOptions::*, std::int16_t StartOptions::*, std::string StartOptions::*> field;
    std::string_view usageName;    // "/newsize=WIDTH": the key and what follows it
    std::string_view explanation;  // the usage's line for it
    // Numbers: the range taken (a value outside it stops the run, status 2),
    // what the message calls the value, its unit, and whether a value of 0
    // leaves the default (as a value that is no number at all always does).
    std::int16_t lowest = 0;
    std::int16_t highest = 0;
    std::string_view noun = {};
    std::string_view unit = {};
    bool zeroKeepsDefault = false;
    std::string_view otherKey = {};  // a second key for the same flag ("/help" for "/?")
    bool asArgument = false;
};

std::span<const OptionSpec> Options();

// A value given with an option that the option cannot take.
struct RejectedValue {
    std::string key;        // "/newsize=", "/wait=", "/settle=" or "/run="
    std::string valueText;  // as written
    std::string_view why;   // what is wrong with a text value ("is empty"); empty: out of range
};

struct ParsedStartOptions {
    StartOptions options;
    // Set when a value lies outside what its option takes. The option then
    // keeps its default, and the first such value (in the table's order) is
    // kept here for the report.
    bool rejected = false;
    RejectedValue rejectedValue;
};

// argumentText is the command line after the program's own path. A text
// value is not searched for other options: a log file's path may hold
// "/quiet" or "/newsize=5".
ParsedStartOptions ParseStartOptions(std::string_view argumentText);

// "The width \"/newsize=40000\" is out of range: it must lie between -32768
// and 32767.", or "The program to start \"/run=\" is empty.", for the
// rejected value.
std::string OutOfRangeMessage(const RejectedValue& rejected);

// A value as a message may show it: its first 40 characters (then "…"), and
// any control or direction-changing character as "?", so that a hostile or
// mistaken command line cannot make a box unreadable. text is UTF-8.
std::string EchoedValue(std::string_view text);

}  // namespace kestrum
