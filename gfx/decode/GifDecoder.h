#pragma once

#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// GIF through giflib: every frame as stored, at its own rectangle (not composed), with its delay,
// disposal and transparent colour; the logical screen, the background colour and the looping
// extension's count. A frame must lie inside the logical screen. Frames beyond the animation
// limits are left out. A file that ends after a whole frame without its trailer keeps its
// frames; any other damage gives nothing.
class TGifDecoder final : public TPictureDecoder {
public:
    struct Limits {
        std::int32_t frames = kMaxAnimationFrames;
        std::int64_t pixels = kMaxAnimationPixels;  // of all frames together
    };

    TGifDecoder() = default;
    explicit TGifDecoder(Limits limits) : limits_(limits) {}

    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    std::optional<TPicture> Frames() override;

private:
    Limits limits_;
    std::span<const std::uint8_t> bytes_;
    IntSize size_;
    bool opened_ = false;
};

}  // namespace gfx
