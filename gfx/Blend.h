#pragma once

// Per-pixel arithmetic of the drawing routines: two colour channels at a time in one 32-bit word.

#include <cstdint>

#include "gfx/Color.h"

namespace gfx {

// x / 255 rounded to nearest, exact for 0 <= x <= 255 * 255.
constexpr std::uint32_t Div255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// a + (b - a) * w / 256 for each of the four channels; w is 0..256, and 256 gives b exactly.
constexpr Color32 Lerp(Color32 a, Color32 b, std::uint32_t w) {
    const std::uint32_t v = 256 - w;
    const std::uint32_t rb = (((a & 0x00FF00FFu) * v + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    const std::uint32_t ag = (((a >> 8) & 0x00FF00FFu) * v + ((b >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return rb | ag;
}

// (a * (255 - w) + b * w) / 255 rounded to nearest, for each of the four channels; w is 0..255. Each
// 16-bit lane holds at most 255 * 255 + 128, so Div255 works on two channels at once.
constexpr Color32 Mix(Color32 a, Color32 b, std::uint32_t w) {
    const std::uint32_t v = 255 - w;
    std::uint32_t rb = (a & 0x00FF00FFu) * v + (b & 0x00FF00FFu) * w + 0x00800080u;
    std::uint32_t ag = ((a >> 8) & 0x00FF00FFu) * v + ((b >> 8) & 0x00FF00FFu) * w + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Source over target with the source's alpha scaled by master (0..255): the colour moves toward the
// source by that alpha, rounded to nearest, and the target becomes as opaque as the two layers
// together.
constexpr Color32 BlendOver(Color32 source, Color32 target, std::uint32_t master) {
    const std::uint32_t a = Div255(AlphaOf(source) * master);
    if (a == 0) {
        return target;
    }
    const std::uint32_t ta = AlphaOf(target);
    const std::uint32_t alpha = ta + Div255((255 - ta) * a);
    return (Mix(target, source, a) & 0x00FFFFFFu) | (alpha << 24);
}

}  // namespace gfx
