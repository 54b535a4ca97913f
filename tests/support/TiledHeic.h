#pragma once

// A HEIC laid out as phones write their photos: the picture cut into square tiles, each tile a
// hidden HEVC image of its own, and a grid image, the primary one, that puts them together and
// crops the last column and row to the picture's size. libheif writes no grids, so each tile is
// encoded through libheif (x265) and the boxes around them are written here.

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"

namespace testing_support {

// The HEIC of the bitmap's colours (opaque) in tiles of `tile` pixels a side (at most 255 tiles
// across and down). Throws std::runtime_error when the encoder fails.
std::vector<std::uint8_t> EncodeTiledHeic(const gfx::TBitmap32& bitmap, int tile = 512, int quality = 80);

// How the grid image is to be shown, as the properties of the grid item say it: each a box of the
// file's own kinds, applied in the order given.
struct TGridTransform {
    std::string type;  // "irot" (value: quarter turns anticlockwise), "imir" (value: axis), "clap"
    int value = 0;
    // For "clap": the clean aperture's width and height and its centre's offset from the
    // picture's centre, in whole pixels (halves as numerator / 2).
    int width = 0, height = 0, offsetX2 = 0, offsetY2 = 0;
};
// With `alpha`, the bitmap's alpha too: a second grid of grey tiles (their red is the alpha), the
// first one's auxiliary alpha image, shown through the same transformations.
std::vector<std::uint8_t> EncodeTiledHeic(const gfx::TBitmap32& bitmap, int tile, int quality,
                                          const std::vector<TGridTransform>& transforms, bool alpha = false);

}  // namespace testing_support
