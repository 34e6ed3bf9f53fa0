// Text from elsewhere (a command line, another program's window), read one
// UTF-8 character at a time, and the characters that must not be shown as
// they are wherever such text is shown or written.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrum {

struct Character {
    char32_t c = 0;
    std::size_t length = 0;  // in bytes; 0 where the bytes form no character
};

// The character at `at`: the shortest encoding of a scalar value only.
Character CharacterAt(std::string_view text, std::size_t at);

// A control character, a line or paragraph separator, or a mark that changes
// the direction of the text after it: what could end a line, reorder it, or
// be obeyed by a terminal.
bool Unsafe(char32_t c);

}  // namespace kestrum
