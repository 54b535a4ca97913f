#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "gfx/decode/Orientation.h"

struct heif_image_handle;

namespace gfx {

// A grid picture (a phone's photograph: hidden tile images put together by a grid image) too large
// to decode whole, decoded tile by tile instead: each tile is decoded alone, reduced into its place
// in the smaller picture and freed before the next, so that no more than a tile and the reduced
// picture are held at once. The grid's rotation, mirroring and crop are applied as libheif applies
// them to the whole picture, and each tile's samples are converted as the whole picture's are.
//
// libheif 1.15 gives no handle to a hidden item, so the tiles are found in the file's own boxes and
// shown to a second libheif context as if they were not hidden (the file's hidden flags read as
// clear); that context then decodes each as an image of its own.
class THeifGrid {
public:
    // Why Read gives nothing for a picture that is not a grid at all.
    static constexpr const char* kNotTiled = "it is not in tiles";

    // The grid of `primary`, whose upright, cropped size libheif states as `upright`; nothing, and
    // `why`, when the file's grid cannot be followed tile by tile. No tile is larger than
    // `maxTilePixels`.
    // With `alpha` (libheif found the primary image's alpha), the alpha must be a grid of the same
    // tiles shown the same way.
    static std::optional<THeifGrid> Read(std::span<const std::uint8_t> file, std::uint32_t primary, IntSize upright,
                                         bool alpha, std::int64_t maxTilePixels, std::string& why);

    // The whole picture reduced to `reduced` (upright; at most `upright` on each side). The
    // primary image's handle gives its colour information; nclx colours are converted unless the
    // picture has an ICC profile (`iccProfile`), which is left to the caller. Nothing, and `why`,
    // when a tile cannot be decoded.
    std::optional<TBitmap32> Decode(IntSize reduced, const heif_image_handle* primary, bool iccProfile,
                                    int maxSide, std::string& why) const;

private:
    std::span<const std::uint8_t> file_;
    std::vector<std::size_t> hiddenFlags_;  // file offsets of the bytes whose bit 0 reads as clear
    std::vector<std::uint32_t> tiles_;      // row by row
    std::vector<std::uint32_t> alphaTiles_;  // the alpha's, in the same places; empty without alpha
    std::int32_t rows_ = 0;
    std::int32_t columns_ = 0;
    IntSize canvas_;                        // the grid's own size, before its crop and rotation
    IntRect crop_;                          // the part of the canvas shown
    TOrientation orientation_ = TOrientation::TopLeft;
    std::int64_t maxTilePixels_ = 0;
};

}  // namespace gfx
