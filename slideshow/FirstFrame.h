#pragma once

#include "gfx/Bitmap32.h"
#include "gfx/decode/PictureDecoder.h"

namespace show {

// A decoded picture as one bitmap of its size: frame 0's pixels as stored (alpha included) at the
// frame's place, and transparent black where frame 0 does not reach. Still formats give their
// picture as it is; an animation gives its first frame.
gfx::TBitmap32 FirstFrameOf(const gfx::TPicture& picture);

}  // namespace show
