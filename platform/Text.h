#pragma once

#include <cstdint>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace plat {

// Style bits as the package stores them.
enum FontStyle : std::uint32_t {
    kFontUnderline = 1,
    kFontBold = 2,
    kFontItalic = 4,
    kFontStrikeOut = 8,
};

struct Font {
    std::string name = "Verdana";  // a font the system lacks is replaced by a sans-serif one
    int size = 10;                 // points, at 96 pixels an inch
    std::uint32_t style = 0;
    gfx::Color32 color = gfx::kOpaqueBlack;  // its alpha is not used: text is opaque
    bool antialiased = true;
};

// Text is in the system's ANSI code page. CR, LF and CR LF break lines; each line lies one line
// height below the one before.

// Size of the text's block in pixels: the widest line's advance, and the line height times the
// number of lines. The line height is that of any single line ("A" measures one line).
gfx::IntSize MeasureText(const Font& font, const std::string& text);

// Draws the text with its block's top-left corner at origin, every line from the block's left
// edge; only the glyphs' pixels change.
void RenderText(gfx::TBitmap32& target, gfx::IntPoint origin, const Font& font, const std::string& text);

}  // namespace plat
