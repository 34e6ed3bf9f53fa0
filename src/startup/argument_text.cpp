#include "startup/argument_text.h"

namespace kestrum {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    return at;
}

}  // namespace

std::string_view ArgumentText(std::string_view commandLine) {
    std::size_t at = SkipBlanks(commandLine, 0);
    if (at < commandLine.size() && commandLine[at] == '"') {
        // A quoted path may hold blanks; quotes are not escaped inside it.
        const std::size_t closing = commandLine.find('"', at + 1);
        // The closing quote ends the path, even with no blank after it, as
        // the system's own splitting of the program name does.
        if (closing == std::string_view::npos) return {};
        at = closing + 1;
    } else {
        while (at < commandLine.size() && !IsBlank(commandLine[at])) ++at;
    }
    return commandLine.substr(SkipBlanks(commandLine, at));
}

}  // namespace kestrum
