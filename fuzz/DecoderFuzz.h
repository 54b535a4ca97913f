#pragma once

// Shared by the picture decoder targets: open the input, decode it when its size is modest, and
// trap when what comes out contradicts itself.

#include <cstddef>
#include <cstdint>

#include "gfx/decode/PictureDecoder.h"

namespace fuzz {

// Larger pictures only repeat the same code paths slowly; the pixel cap itself has unit tests.
inline constexpr std::int64_t kMaxFuzzPixels = std::int64_t{1} << 20;

inline void CheckBitmap(const gfx::TBitmap32& bitmap) {
    if (bitmap.Empty() || bitmap.Width() <= 0 || bitmap.Height() <= 0) {
        __builtin_trap();
    }
}

inline void DecodeOnce(gfx::TPictureDecoder& decoder, const std::uint8_t* data, std::size_t size) {
    if (!decoder.Open({data, size})) {
        return;
    }
    const gfx::IntSize declared = decoder.Size();
    if (std::int64_t{declared.width} * declared.height > kMaxFuzzPixels) {
        return;
    }
    const auto picture = decoder.Frames();
    if (!picture) {
        return;
    }
    const gfx::IntRect screen{0, 0, declared.width, declared.height};
    if (picture->size != declared || picture->frames.empty()) {
        __builtin_trap();
    }
    for (const auto& frame : picture->frames) {
        CheckBitmap(frame.bitmap);
        if (frame.Rect().Intersect(screen) != frame.Rect()) {
            __builtin_trap();
        }
    }
}

}  // namespace fuzz
