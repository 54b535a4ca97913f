#pragma once

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace trans {

// The effect preview's two sample pictures, drawn at any size: a sunny landscape (1) and a
// moonlit sea (2), so that every effect shows clearly which picture replaces which.
gfx::TBitmap32 SamplePicture(int which, gfx::IntSize size);

}  // namespace trans
