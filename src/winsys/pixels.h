// Pixel arithmetic: sums, differences and scalings of coordinates are made in
// 64 bits and brought back into the 32-bit range the window manager takes, so
// that no layout, however far out, overflows on the way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kestrum {

inline std::int32_t ClampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace kestrum
