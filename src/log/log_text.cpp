#include "log/log_text.h"

#include "winsys/characters.h"

namespace kestrum {
namespace {

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

std::string EscapedForLog(std::string_view text) {
    std::string escaped;
    std::size_t at = 0;
    for (std::size_t count = 0; at < text.size(); ++count) {
        if (count == kLoggedTextLength) return escaped + "\xE2\x80\xA6";  // …
        const Character d = CharacterAt(text, at);
        if (d.length == 0) {
            const auto b = static_cast<unsigned char>(text[at++]);
            escaped.append("\\x").append(1, kHex[b >> 4]).append(1, kHex[b & 0xF]);
        } else if (d.c == '"' || d.c == '\\') {
            escaped.append(1, '\\').append(1, static_cast<char>(d.c));
            ++at;
        } else if (Unsafe(d.c)) {
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
