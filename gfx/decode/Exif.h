#pragma once

#include <cstdint>
#include <span>

#include "gfx/decode/Orientation.h"

namespace gfx {

// The orientation an EXIF block gives its picture, from the block as a JPEG's APP1 marker
// carries it (starting with "Exif", two zero bytes and a TIFF header). TopLeft when the block
// gives none, or is damaged anywhere on the way to it.
TOrientation ExifOrientation(std::span<const std::uint8_t> block);

}  // namespace gfx
