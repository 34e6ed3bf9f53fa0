// How much room a window's text is read into. The window manager tells a
// text's length before the text itself, and a window may report any length
// at all; both sides of the window-system port size their reads here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrum {

// The longest class name the window manager keeps, in characters.
inline constexpr std::size_t kLongestClassName = 255;
// The room used when the reported length cannot be used, terminator included.
inline constexpr std::size_t kFallbackTextRoom = 256;
// A length beyond this is taken as unusable rather than allocated: no window
// title needs 16 Mi characters, and a lying window must not exhaust memory.
inline constexpr std::int32_t kLongestUsableText = 16 * 1024 * 1024;

// Characters to make room for, terminator included, for a text whose length
// the window reports as reportedLength.
inline std::size_t TextRoom(std::int32_t reportedLength) {
    if (reportedLength < 0 || reportedLength >= kLongestUsableText) return kFallbackTextRoom;
    return static_cast<std::size_t>(reportedLength) + 1;
}

}  // namespace kestrum
