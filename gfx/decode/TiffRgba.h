#pragma once

#include <string>

#include <tiffio.h>

#include "gfx/decode/Orientation.h"
#include "gfx/decode/TiffLayout.h"

namespace gfx::tiff {

// Empty when libtiff's RGBA interface reads the current page; else its reason why not.
std::string RgbaRefusal(TIFF* tiff);

// The current page through libtiff's RGBA interface (every photometric, depth and compression it
// knows), opaque, its rows as stored: `out` turns them upright. Read a strip or a tile row at a
// time, so that only a rotated picture needs a band beside it.
bool ReadRgba(TIFF* tiff, const TLayout& layout, TOrientedRows& out, std::string& why);

}  // namespace gfx::tiff
