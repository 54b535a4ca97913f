#pragma once

#include <string>

#include "gfx/Bitmap32.h"

namespace gfx {

// The pictures of picture buttons, drawn from outlines at any size so that they stay sharp at
// every pixels-an-inch value: "up", "down", "play", "pause", "stop", "back", "next", "close". The
// glyph is `color` on a transparent square; an unknown name gives an empty square.
TBitmap32 DrawGlyph(const std::string& name, std::int32_t size, Color32 color);

}  // namespace gfx
