#pragma once

// WebP files made with libwebp's own encoders, for tests of the runtime's WebP decoding.

#include <cstdint>
#include <vector>

#include "gfx/Bitmap32.h"

namespace testing_support {

// The bitmap (alpha included) as a still WebP: lossless, or lossy at the quality.
std::vector<std::uint8_t> EncodeWebp(const gfx::TBitmap32& bitmap, bool lossless = true, int quality = 90);

struct WebpFrame {
    gfx::TBitmap32 bitmap;  // the whole canvas
    int delayMs = 100;
};

// An animation of the frames (all of one size), lossless, repeated `loopCount` times (0 for ever).
// Consecutive frames must differ: the encoder merges equal ones.
std::vector<std::uint8_t> EncodeAnimatedWebp(const std::vector<WebpFrame>& frames, int loopCount);

// The WebP with an ICCP chunk of the bytes added.
std::vector<std::uint8_t> WithIccChunk(const std::vector<std::uint8_t>& webp, const std::vector<std::uint8_t>& icc);

}  // namespace testing_support
