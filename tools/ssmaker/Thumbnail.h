#pragma once

#include <memory>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace maker {

// A line's small picture in the maker's lists: a picture as the screen saver shows it (upright,
// in sRGB, opaque), reduced to fit side x side with its proportions kept and never enlarged; for a
// video or a Flash movie a drawn sign (a film strip, a play triangle) on a grey square of the side.
// Null for a file that cannot be read or decoded, and for a side below 1; it never throws.
std::shared_ptr<const gfx::TBitmap32> MakeThumbnail(const std::string& path, int side);

// The picture fitted into exactly `size` for the effect preview: proportions kept, centred on
// black, enlarged when it is smaller. Empty (0 x 0) for a video, a Flash movie, or a file that
// cannot be read or decoded.
gfx::TBitmap32 FittedPicture(const std::string& path, gfx::IntSize size);

}  // namespace maker
