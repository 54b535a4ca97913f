#pragma once

#include <cstdint>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace plat {

// Style bits as the package stores them.
enum FontStyle : std::uint32_t {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};

struct Font {
    std::string name = "Verdana";
    int size = 10;  // points
    std::uint32_t style = 0;
    gfx::Color32 color = gfx::kOpaqueBlack;
    bool antialiased = true;
};

// Size of one line of text in pixels.
gfx::IntSize MeasureText(const Font& font, const std::string& text);

// Draws one line of text with its top-left corner at origin; only the glyphs' pixels change.
void RenderText(gfx::TBitmap32& target, gfx::IntPoint origin, const Font& font, const std::string& text);

}  // namespace plat
