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

// A still picture is one frame at the origin that covers it; an animation's frames lie inside its
// logical screen, and may be empty (a frame wholly outside it is kept for its delay).
enum class Kind { Still, Animation };

inline void DecodeOnce(gfx::TPictureDecoder& decoder, const std::uint8_t* data, std::size_t size,
                       Kind kind = Kind::Still) {
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
    if (kind == Kind::Still && (picture->frames.size() != 1 || picture->frames[0].Rect() != screen)) {
        __builtin_trap();
    }
    for (const auto& frame : picture->frames) {
        if (frame.bitmap.Width() < 0 || frame.bitmap.Height() < 0 || frame.Rect().Intersect(screen) != frame.Rect()) {
            __builtin_trap();
        }
    }
}

}  // namespace fuzz
