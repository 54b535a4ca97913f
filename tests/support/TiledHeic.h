#pragma once

// A HEIC laid out as phones write their photos: the picture cut into square tiles, each tile a
// hidden HEVC image of its own, and a grid image, the primary one, that puts them together and
// crops the last column and row to the picture's size. libheif writes no grids, so each tile is
// encoded through libheif (x265) and the boxes around them are written here.

#include <cstdint>
#include <vector>

#include "gfx/Bitmap32.h"

namespace testing_support {

// The HEIC of the bitmap's colours (opaque) in tiles of `tile` pixels a side (at most 255 tiles
// across and down). Throws std::runtime_error when the encoder fails.
std::vector<std::uint8_t> EncodeTiledHeic(const gfx::TBitmap32& bitmap, int tile = 512, int quality = 80);

}  // namespace testing_support
