#pragma once

#include <cstdint>

namespace gfx {

// A pixel: 0xAARRGGBB, alpha in the top byte, 255 opaque.
using Color32 = std::uint32_t;

constexpr Color32 kOpaqueBlack = 0xFF000000u;

constexpr std::uint8_t AlphaOf(Color32 c) { return static_cast<std::uint8_t>(c >> 24); }
constexpr std::uint8_t RedOf(Color32 c) { return static_cast<std::uint8_t>(c >> 16); }
constexpr std::uint8_t GreenOf(Color32 c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(Color32 c) { return static_cast<std::uint8_t>(c); }

constexpr Color32 MakeColor32(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    return (Color32{a} << 24) | (Color32{r} << 16) | (Color32{g} << 8) | Color32{b};
}

// Package and registry colours are 0x00BBGGRR; the top bit marks a system colour, whose low byte
// is the index of a display element in the system's colour table.
using TColor = std::int32_t;

constexpr TColor kColorNone = 0x1FFFFFFF;

constexpr bool IsSystemColor(TColor c) { return (static_cast<std::uint32_t>(c) & 0x80000000u) != 0; }
constexpr int SystemColorIndex(TColor c) { return static_cast<int>(static_cast<std::uint32_t>(c) & 0xFFu); }

// A colour already in 0x00BBGGRR form as a pixel. A system colour means nothing here: only the
// system knows it, so callers resolve package colours through plat::PixelColor.
constexpr Color32 Color32FromTColor(TColor c) {
    const auto v = static_cast<std::uint32_t>(c);
    return MakeColor32(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                       static_cast<std::uint8_t>(v >> 16));
}

constexpr TColor TColorFromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(std::uint32_t{r} | (std::uint32_t{g} << 8) | (std::uint32_t{b} << 16));
}

}  // namespace gfx
