#include "startup/start_options.h"

#include <algorithm>
#include <optional>
#include <string>

#include "startup/characters.h"
#include "startup/leading_number.h"

namespace kestrum {
namespace {

// Letter case is folded for ASCII letters only, so every character keeps its
// place: a position found in the folded text is the same position in the
// text as given.
std::string Lowered(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// Where the value of the first `key` in `keysIn` lies in the text: from
// after the key to the first blank, or, for a quoted text value (the quote
// after the key or before it), to the closing quote (or the end). nullopt
// when the key is not there. `lower` is the text folded, with the place of
// every character kept; `keysIn` is `lower` or a copy with values blanked.
struct ValuePlace {
    std::size_t at;
    std::size_t length;
};

std::optional<ValuePlace> FindValue(const std::string& lower, const std::string& keysIn, std::string_view key,
                                    bool quotable) {
    const std::size_t keyAt = keysIn.find(key);
    if (keyAt == std::string::npos) return std::nullopt;
    std::size_t valueAt = keyAt + key.size();
    // /log="C:\a b\k.log", and "/log=C:\a b\k.log" as a shell quotes it.
    const bool quoted = quotable && ((valueAt < lower.size() && lower[valueAt] == '"') ||
                                     (keyAt > 0 && lower[keyAt - 1] == '"'));
    if (quoted) {
        if (valueAt < lower.size() && lower[valueAt] == '"') ++valueAt;
        const std::size_t closing = lower.find('"', valueAt);
        const std::size_t end = closing == std::string::npos ? lower.size() : closing;
        return ValuePlace{valueAt, end - valueAt};
    }
    const std::size_t blankAt = lower.find(' ', valueAt);
    return ValuePlace{valueAt, (blankAt == std::string::npos ? lower.size() : blankAt) - valueAt};
}

constexpr OptionSpec kOptions[] = {
    {.key = "/AUTO",
     .field = &StartOptions::AutoMode,
     .usageName = "/AUTO",
     .explanation = "sets the width and ends, when exactly one client with exactly one pane is "
                    "running; otherwise the window is shown."},
    {.key = "/newsize=",
     .field = &StartOptions::NewSize,
     .usageName = "/newsize=WIDTH",
     .explanation = "the pane's width in pixels (300 if not given).",
     .lowest = -32768,
     .highest = 32767,
     .noun = "The width",
     .zeroKeepsDefault = true},
    {.key = "/wait=",
     .field = &StartOptions::Wait,
     .usageName = "/wait=SECONDS",
     .explanation = "waits up to 1 to 3600 seconds for a client (with /AUTO: for one client with "
                    "one pane) before going on.",
     .lowest = 0,
     .highest = 3600,
     .noun = "The wait",
     .unit = " seconds"},
    {.key = "/quiet",
     .field = &StartOptions::Quiet,
     .usageName = "/quiet",
     .explanation = "with /AUTO: no message and no window, ever; the exit status tells how it went."},
    {.key = "/watch",
     .field = &StartOptions::Watch,
     .usageName = "/watch",
     .explanation = "stays running in this session and sets the pane of every client as it "
                    "appears, until /stop or the end of the session; never a window or a message."},
    {.key = "/settle=",
     .field = &StartOptions::SettleMs,
     .usageName = "/settle=MS",
     .explanation = "with /watch: how long a new pane must keep its place and size before its "
                    "width is set, 0 to 10000 milliseconds (500 if not given).",
     .lowest = 0,
     .highest = 10000,
     .noun = "The settling time",
     .unit = " milliseconds"},
    {.key = "/stop",
     .field = &StartOptions::Stop,
     .usageName = "/stop",
     .explanation = "ends this session's watch."},
    {.key = "/log=",
     .field = &StartOptions::LogFile,
     .usageName = "/log=FILE",
     .explanation = "with /AUTO or /watch: adds a line to FILE for everything done (the name may "
                    "be quoted)."},
    {.key = "/?",
     .field = &StartOptions::Help,
     .usageName = "/?",
     .explanation = "shows this.",
     .otherKey = "/help"},
};

}  // namespace

std::span<const OptionSpec> Options() { return kOptions; }

ParsedStartOptions ParseStartOptions(std::string_view argumentText) {
    ParsedStartOptions parsed;
    StartOptions& options = parsed.options;
    // Folded for the search, each character in its place. Flags and numbers
    // are looked for where no text value is: such a value is blanked out
    // once read, so that a path holding "/newsize=5" changes no width.
    const std::string lower = Lowered(argumentText);
    std::string keyText = lower;
    const auto reject = [&parsed](const OptionSpec& spec, std::string_view value) {
        if (parsed.rejected) return;
        parsed.rejected = true;
        parsed.rejectedValue = {std::string(spec.key), std::string(value)};
    };
    for (const OptionSpec& spec : kOptions) {
        auto* const text = std::get_if<std::string StartOptions::*>(&spec.field);
        if (text == nullptr) continue;
        if (const auto place = FindValue(lower, lower, Lowered(spec.key), true)) {
            options.*(*text) = std::string(argumentText.substr(place->at, place->length));
            keyText.replace(place->at, place->length, place->length, ' ');
        }
    }
    for (const OptionSpec& spec : kOptions) {
        if (auto* const flag = std::get_if<bool StartOptions::*>(&spec.field)) {
            options.*(*flag) = keyText.find(Lowered(spec.key)) != std::string::npos ||
                               (!spec.otherKey.empty() && keyText.find(Lowered(spec.otherKey)) != std::string::npos);
        } else if (auto* const number = std::get_if<std::int16_t StartOptions::*>(&spec.field)) {
            const auto place = FindValue(lower, keyText, Lowered(spec.key), false);
            if (!place) continue;
            const std::string_view value = argumentText.substr(place->at, place->length);
            const std::optional<std::int16_t> read = ReadLeadingNumber(value);
            if (!read || *read < spec.lowest || *read > spec.highest) {
                reject(spec, value);
            } else if (*read != 0 || !spec.zeroKeepsDefault) {
                options.*(*number) = *read;
            }
        }
    }
    return parsed;
}

std::string OutOfRangeMessage(const RejectedValue& rejected) {
    for (const OptionSpec& spec : kOptions) {
        if (spec.key != rejected.key) continue;
        return std::string(spec.noun) + " \"" + rejected.key + EchoedValue(rejected.valueText) +
               "\" is out of range: it must lie between " + std::to_string(spec.lowest) + " and " +
               std::to_string(spec.highest) + std::string(spec.unit) + ".";
    }
    return "\"" + rejected.key + EchoedValue(rejected.valueText) + "\" is out of range.";
}

std::string EchoedValue(std::string_view text) {
    constexpr int kShown = 40;
    std::string echoed;
    std::size_t at = 0;
    for (int count = 0; at < text.size(); ++count) {
        if (count == kShown) return echoed + "\xE2\x80\xA6";  // …
        const Character c = CharacterAt(text, at);
        const bool shown = c.length > 0 && !Unsafe(c.c);
        echoed.append(shown ? text.substr(at, c.length) : "?");
        at += std::max<std::size_t>(c.length, 1);
    }
    return echoed;
}

}  // namespace kestrum
