#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace gfx {

// The size of an icon file's largest image (most pixels, then most bits a pixel), as its
// directory states it; nothing when the bytes are not an icon directory.
std::optional<IntSize> LargestIconSize(std::span<const std::uint8_t> bytes);

// Decodes an icon file's largest image with its transparency: a Windows bitmap with its AND mask
// (32-bit images use their own alpha when they carry any), or a PNG. Nothing when it cannot.
std::optional<TBitmap32> DecodeIco(std::span<const std::uint8_t> bytes);

}  // namespace gfx
