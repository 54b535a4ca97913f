#pragma once

#include <cstdint>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace show {

// Lays a decoded still out on a frame of any monitor's size by the size mode, the picture placed
// by its own size (it may have been decoded smaller), through its mask when it has one; a GIF's
// first frame keeps its transparency, anything else covers its rectangle. Returns the rectangle.
gfx::IntRect DrawStillOnFrame(gfx::TBitmap32& image, gfx::TBitmap32* mask, bool keepAlpha,
                              std::int32_t sizeMode, gfx::IntSize imageSize, gfx::TBitmap32& frame);

}  // namespace show
