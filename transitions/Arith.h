#pragma once

// The effects' arithmetic: `/` is a double division, and whole pixels come from Round (to nearest,
// ties to even), Ceil, or integer division that truncates toward zero.

#include <cmath>
#include <cstdint>

namespace trans {

inline std::int32_t Round(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

inline std::int32_t Ceil(double v) { return static_cast<std::int32_t>(std::ceil(v)); }

// a * b div c, the product taken in 64 bits; div truncates toward zero.
inline std::int32_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    return static_cast<std::int32_t>(a * b / c);
}

// The frame count N that the families divide by. A count below 1 (a window narrower than four times
// the speed gives 0) would divide by zero; such a transition runs as one frame.
inline std::int32_t FrameUnit(std::int32_t frameCount) { return frameCount < 1 ? 1 : frameCount; }

}  // namespace trans
