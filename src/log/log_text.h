// Text that comes from another program (a window's title), as a log line
// holds it: it can neither end the line nor fake a field, and it is short.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrum {

// How many characters of such a text a line keeps.
inline constexpr std::size_t kLoggedTextLength = 200;

// `text` (UTF-8) to be written between double quotes: '"' and '\' with a
// backslash before them; every control character, line or paragraph
// separator and direction control as "\u" and four hexadecimal digits
// ("\u2028"); a byte that forms no character as "\x" and two ("\xff").
// Every other character, in any script, as it is. Cut after
// kLoggedTextLength characters, with "…" in place of the rest.
std::string EscapedForLog(std::string_view text);

}  // namespace kestrum
