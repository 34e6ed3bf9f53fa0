// Reading a width from text, and writing one back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum {

// Reads the number at the start of text and rounds it to a signed 16-bit
// integer, half to even. Blanks, tabs and line feeds anywhere in the text are
// ignored; reading stops at the first character that does not fit
// [sign] digits [. digits] [(E|e) [sign] digits]; a text that does not begin
// with a number reads 0. The value is taken exactly as written, in decimal,
// so rounding never suffers from binary approximation and no exponent can
// overflow. Returns nullopt (an overflow) when the rounded value lies outside
// -32768..32767.
std::optional<std::int16_t> ReadLeadingNumber(std::string_view text);
// The text begins with a number as ReadLeadingNumber reads one.
bool StartsWithNumber(std::string_view text);

// How a width is written into the width field: its decimal digits, with a
// leading "-" when negative.
std::string WidthText(std::int16_t width);

}  // namespace kestrum
