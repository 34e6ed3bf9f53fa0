// The argument text: the process command line after the program's own path.
#pragma once

#include <string_view>

namespace kestrum {

// Skips the program's path at the start of commandLine and the blanks
// (spaces and tabs) that follow it, and returns the rest unchanged. A quoted
// path runs to the next '"' (an unclosed quote takes the whole line); an
// unquoted one runs to the first blank. Blanks before the path are skipped.
std::string_view ArgumentText(std::string_view commandLine);

}  // namespace kestrum
