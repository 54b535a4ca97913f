#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace gfx {

// Decodes a Windows bitmap file: core and info headers, 1, 4, 8, 16, 24 and 32 bits a pixel,
// bit fields, RLE4 and RLE8, bottom-up and top-down rows. Nothing when the bytes are not a
// bitmap this decoder can read whole. The result is opaque.
std::optional<TBitmap32> DecodeBmp(const std::uint8_t* data, std::size_t size);

// The size a bitmap file's header states, whether or not the bitmap decodes; nothing when the
// bytes have no bitmap header.
std::optional<IntSize> StatedBmpSize(const std::uint8_t* data, std::size_t size);

}  // namespace gfx
