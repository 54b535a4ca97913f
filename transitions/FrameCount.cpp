#include "transitions/FrameCount.h"

#include <algorithm>
#include <array>

namespace trans {

namespace {

// The two widths the speeds were tuned on have their own rows.
constexpr std::array<std::int32_t, 10> k800 = {800, 600, 400, 200, 100, 60, 40, 20, 8, 4};
constexpr std::array<std::int32_t, 10> k1024 = {1024, 768, 400, 256, 128, 64, 32, 16, 8, 4};

}  // namespace

std::int32_t FrameCountFromSpeed(std::int32_t windowWidth, std::int32_t speed) {
    const std::int32_t s = std::clamp(speed, 1, 10);
    if (windowWidth == 800) {
        return k800[static_cast<std::size_t>(s - 1)];
    }
    if (windowWidth == 1024) {
        return k1024[static_cast<std::size_t>(s - 1)];
    }
    // Any other width: the quotient rounded down to a multiple of 4.
    return windowWidth / s / 4 * 4;
}

}  // namespace trans
