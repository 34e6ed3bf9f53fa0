#include "startup/start_options.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "winsys/characters.h"
#include "startup/leading_number.h"
#include "winsys/window_system.h"

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

// Where the value of a key found at `keyAt` lies in the text: from after
// the key to the first blank, or, for a quoted text value (the quote after
// the key or before it), to the closing quote (or the end). `lower` is the
// text folded, with the place of every character kept.
struct ValuePlace {
    std::size_t at;
    std::size_t length;
};

ValuePlace FindValue(const std::string& lower, std::size_t keyAt, std::string_view key, bool quotable) {
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

// A value read as Windows reads one argument of a command line, from after
// its key to a blank outside quotes: quotes (one before the key too) begin
// and end quoted text, 2n backslashes before a quote stand for n, 2n + 1 for
// n and the quote itself. `place` is what it took of the text, quotes and all.
struct ArgumentValue {
    std::string text;
    ValuePlace place;
    bool closed = true;  // every quote closed
};

ArgumentValue ReadArgument(std::string_view text, std::size_t keyAt, std::string_view key) {
    ArgumentValue value;
    bool quoted = keyAt > 0 && text[keyAt - 1] == '"';
    std::size_t at = keyAt + key.size();
    value.place.at = at;
    while (at < text.size() && (quoted || (text[at] != ' ' && text[at] != '\t'))) {
        const std::size_t backslashes = std::min(text.find_first_not_of('\\', at), text.size()) - at;
        if (backslashes > 0) {
            const bool beforeQuote = at + backslashes < text.size() && text[at + backslashes] == '"';
            value.text.append(beforeQuote ? backslashes / 2 : backslashes, '\\');
            at += backslashes;
            if (beforeQuote && backslashes % 2 == 1) value.text += text[at++];
        } else if (text[at] == '"') {
            quoted = !quoted;
            ++at;
        } else {
            value.text += text[at++];
        }
    }
    value.closed = !quoted;
    value.place.length = at - value.place.at;
    return value;
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
     .explanation = "the pane's width in pixels, 1 to 32767 (300 if not given).",
     .lowest = kNarrowestPane,
     .highest = kWidestPane,
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
    {.key = "/apply",
     .field = &StartOptions::Apply,
     .usageName = "/apply",
     .explanation = "has this session's watch set the pane of every client open now (the icon's Apply now)."},
    {.key = "/pause",
     .field = &StartOptions::Pause,
     .usageName = "/pause",
     .explanation = "pauses this session's watch: panes that appear are left alone until /resume."},
    {.key = "/resume",
     .field = &StartOptions::Resume,
     .usageName = "/resume",
     .explanation = "ends the pause of this session's watch."},
    {.key = "/forget",
     .field = &StartOptions::Forget,
     .usageName = "/forget",
     .explanation = "has this session's watch forget your own width."},
    {.key = "/log=",
     .field = &StartOptions::LogFile,
     .usageName = "/log=FILE",
     .explanation = "with /AUTO or /watch: adds a line to FILE for everything done (the name may "
                    "be quoted)."},
    {.key = "/run=",
     .field = &StartOptions::Run,
     .usageName = "/run=\"PROGRAM [ARGUMENTS]\"",
     .explanation = "starts PROGRAM (a path with blanks in \\\"...\\\"); with /watch, the watch then ends once it "
                    "has ended and no client remains (where a watch runs already, that one sets the pane); "
                    "otherwise waits up to 60 seconds for the client (/wait= from 1: that time).",
     .noun = "The program to start",
     .asArgument = true},
    {.key = "/?",
     .field = &StartOptions::Help,
     .usageName = "/?",
     .explanation = "shows this.",
     .otherKey = "/help"},
};

// The longest command line Windows starts a program with, in UTF-16 units,
// its end included.
constexpr std::size_t kLongestCommandLine = 32767;

// The program and its arguments in /run='s value, as Windows reads a
// command line: a quoted path runs to the next quote, any other to the first
// blank; the arguments follow the blanks after it. Why it cannot be one
// where it cannot.
std::string_view ReadProgram(const ArgumentValue& value, ProgramLine& line) {
    if (!value.closed) return "has a quote that is not closed";
    const std::string_view text = value.text;
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return "is empty";
    std::size_t end = text.find_first_of(text[start] == '"' ? "\"" : " \t\"", start + 1);
    if (text[start] == '"') {
        if (end == std::string_view::npos) return "has a quote that is not closed";
        line.program = text.substr(start + 1, end - start - 1);
        ++end;
    } else {
        if (end != std::string_view::npos && text[end] == '"') return "has a quote inside its program's path";
        line.program = text.substr(start, end - start);
    }
    if (line.program.empty()) return "is empty";
    const std::size_t arguments = std::min(text.find_first_not_of(" \t", end), text.size());
    line.arguments = text.substr(arguments);
    // The line Windows is given: the path quoted, a blank, the arguments, and its end.
    std::size_t units = 4;
    for (const std::string_view part : {std::string_view(line.program), std::string_view(line.arguments)}) {
        for (std::size_t at = 0; at < part.size();) {
            const std::size_t length = CharacterAt(part, at).length;
            units += length == 4 ? 2 : 1;
            at += std::max<std::size_t>(length, 1);
        }
    }
    if (units > kLongestCommandLine) return "is too long for a command line";
    return {};
}

}  // namespace

std::span<const OptionSpec> Options() { return kOptions; }

ParsedStartOptions ParseStartOptions(std::string_view argumentText) {
    ParsedStartOptions parsed;
    StartOptions& options = parsed.options;
    // Folded for the search, each character in its place. Text values are
    // read first, the one written first first, and each is blanked out once
    // read: no key is looked for inside it, so that a path holding
    // "/newsize=5" changes no width, nor a program's "/quiet" this run.
    const std::string lower = Lowered(argumentText);
    std::string keyText = lower;
    const auto reject = [&parsed](const OptionSpec& spec, std::string_view value, std::string_view why = {}) {
        if (parsed.rejected) return;
        parsed.rejected = true;
        parsed.rejectedValue = {std::string(spec.key), std::string(value), why};
    };
    std::vector<const OptionSpec*> texts;
    for (const OptionSpec& spec : kOptions) {
        if (std::holds_alternative<std::string StartOptions::*>(spec.field)) texts.push_back(&spec);
    }
    std::optional<ArgumentValue> run;
    const OptionSpec* runSpec = nullptr;
    for (;;) {
        const OptionSpec* first = nullptr;
        std::size_t firstAt = std::string::npos;
        for (const OptionSpec* spec : texts) {
            if (const std::size_t at = keyText.find(Lowered(spec->key)); at < firstAt) {
                first = spec;
                firstAt = at;
            }
        }
        if (first == nullptr) break;
        std::erase(texts, first);
        const OptionSpec& spec = *first;
        ValuePlace place{};
        std::string value;
        if (spec.asArgument) {
            run = ReadArgument(argumentText, firstAt, spec.key);
            runSpec = &spec;
            place = run->place;
            value = run->text;
        } else {
            place = FindValue(lower, firstAt, spec.key, true);
            value = argumentText.substr(place.at, place.length);
        }
        options.*std::get<std::string StartOptions::*>(spec.field) = std::move(value);
        keyText.replace(place.at, place.length, place.length, ' ');
    }
    for (const OptionSpec& spec : kOptions) {
        if (auto* const flag = std::get_if<bool StartOptions::*>(&spec.field)) {
            options.*(*flag) = keyText.find(Lowered(spec.key)) != std::string::npos ||
                               (!spec.otherKey.empty() && keyText.find(Lowered(spec.otherKey)) != std::string::npos);
        } else if (auto* const number = std::get_if<std::int16_t StartOptions::*>(&spec.field)) {
            const std::size_t keyAt = keyText.find(Lowered(spec.key));
            if (keyAt == std::string::npos) continue;
            const ValuePlace place = FindValue(lower, keyAt, spec.key, false);
            const std::string_view value = argumentText.substr(place.at, place.length);
            const std::optional<std::int16_t> read = ReadLeadingNumber(value);
            // No number at all (an empty value included) leaves the default,
            // as does 0 where it stands for "not given".
            if (read && *read == 0 && (spec.zeroKeepsDefault || !StartsWithNumber(value))) continue;
            if (!read || *read < spec.lowest || *read > spec.highest) {
                reject(spec, value);
            } else {
                options.*(*number) = *read;
            }
        }
    }
    if (run) {
        const std::string_view why = ReadProgram(*run, options.Program);
        if (!why.empty()) {
            options.Program = {};
            reject(*runSpec, argumentText.substr(run->place.at, run->place.length), why);
        }
    }
    return parsed;
}

std::string OutOfRangeMessage(const RejectedValue& rejected) {
    for (const OptionSpec& spec : kOptions) {
        if (spec.key != rejected.key) continue;
        const std::string named = std::string(spec.noun) + " \"" + rejected.key + EchoedValue(rejected.valueText) + "\" ";
        if (!rejected.why.empty()) return named + std::string(rejected.why) + ".";
        return named + "is out of range: it must lie between " + std::to_string(spec.lowest) + " and " +
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
