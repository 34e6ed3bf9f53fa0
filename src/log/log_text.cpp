#include "log/log_text.h"

namespace kestrum {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// The character encoded at `at` and its length in bytes, the shortest
// encoding of a scalar value only; a length of 0 where the bytes form none.
struct Decoded {
    char32_t c = 0;
    std::size_t length = 0;
};

Decoded DecodeAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : (lead & 0xF0) == 0xE0 ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return {};
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {};
        c = (c << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
    return {c, length};
}

// What a reader might take for the end of a line or a change of direction,
// or what a terminal might obey.
bool Escaped(char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    const bool separator = c == 0x2028 || c == 0x2029;
    const bool direction = c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
                           (c >= 0x2066 && c <= 0x2069);
    return control || separator || direction;
}

}  // namespace

std::string EscapedForLog(std::string_view text) {
    std::string escaped;
    std::size_t at = 0;
    for (std::size_t count = 0; at < text.size(); ++count) {
        if (count == kLoggedTextLength) return escaped + "\xE2\x80\xA6";  // …
        const Decoded d = DecodeAt(text, at);
        if (d.length == 0) {
            const auto b = static_cast<unsigned char>(text[at++]);
            escaped.append("\\x").append(1, kHex[b >> 4]).append(1, kHex[b & 0xF]);
        } else if (d.c == '"' || d.c == '\\') {
            escaped.append(1, '\\').append(1, static_cast<char>(d.c));
            ++at;
        } else if (Escaped(d.c)) {
            escaped.append("\\u");
            for (int shift = 12; shift >= 0; shift -= 4) escaped.push_back(kHex[(d.c >> shift) & 0xF]);
            at += d.length;
        } else {
            escaped.append(text.substr(at, d.length));
            at += d.length;
        }
    }
    return escaped;
}

}  // namespace kestrum
