#pragma once

#include <cstdint>

namespace gfx {

// The largest picture any decoder produces: 2^25 pixels (128 MiB as 32-bit pixels), so that a
// 24-megapixel photograph decodes while a hostile size cannot exhaust a 32-bit address space.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 25;

inline bool PictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPicturePixels;
}

}  // namespace gfx
