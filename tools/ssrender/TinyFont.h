#pragma once

// A small bitmap font for the labels of ssrender's pictures: 5 x 8 pixel glyphs (the last row for
// descenders) for the printable ASCII letters, digits and common signs; other characters show as a
// box.

#include <cstdint>
#include <string_view>

#include "gfx/Bitmap32.h"

namespace ssrender {

inline constexpr std::int32_t kGlyphWidth = 5;
inline constexpr std::int32_t kGlyphHeight = 8;
// From one glyph's left edge to the next one's.
inline constexpr std::int32_t kGlyphAdvance = 6;

// Width of text in pixels at the given scale.
std::int32_t TextWidth(std::string_view text, std::int32_t scale = 1);

// Draws text with its top-left corner at (x, y); every glyph pixel becomes a scale x scale block of
// colour. Pixels outside the bitmap are left out.
void DrawText(gfx::TBitmap32& target, std::int32_t x, std::int32_t y, std::string_view text, gfx::Color32 color,
              std::int32_t scale = 1);

}  // namespace ssrender
