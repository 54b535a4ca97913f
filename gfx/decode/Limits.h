#pragma once

#include <cstdint>

namespace gfx {

// The largest picture any decoder produces: 2^25 pixels (128 MiB as 32-bit pixels), so that a
// 24-megapixel photograph decodes while a hostile size cannot exhaust a 32-bit address space.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 25;

// All frames of one animation together: twice one picture's worth (256 MiB as 32-bit pixels),
// which leaves room in 2 GiB for the slideshow's own screen-sized bitmaps. An animation whose
// frames go beyond it, or beyond the frame count, ends with the last frame that fitted.
inline constexpr std::int64_t kMaxAnimationPixels = 2 * kMaxPicturePixels;
inline constexpr std::int32_t kMaxAnimationFrames = 10000;

// How much of an animation a decoder keeps: at most so many frames and so many pixels of all frames
// together.
struct TAnimationLimits {
    std::int32_t frames = kMaxAnimationFrames;
    std::int64_t pixels = kMaxAnimationPixels;
};

// Picture files are read whole into memory; a larger file is refused unread.
inline constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{128} << 20;

inline bool PictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPicturePixels;
}

// A width or height as a header states it, kept within what a size can hold.
inline std::int32_t ClampedDimension(std::uint32_t value) {
    return static_cast<std::int32_t>(value > 0x7FFFFFFFu ? 0x7FFFFFFFu : value);
}

}  // namespace gfx
