#pragma once

#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// WebP through libwebp, lossy or lossless, with or without alpha. An animation gives every frame
// composed by libwebp's animation decoder onto the whole canvas, each restored to the background
// before the next (so that a composer shows each exactly as it is), with its delay; the loop
// count of the file, except that one that plays once carries none, as a GIF without the looping
// extension. Frames beyond the animation limits are left out; damage after the first frame ends
// the animation there. An embedded ICC profile is handed on.
class TWebpDecoder final : public TPictureDecoder {
public:
    using Limits = TAnimationLimits;

    TWebpDecoder() = default;
    explicit TWebpDecoder(Limits limits) : limits_(limits) {}

    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    // A still more than twice as wide and as high as its place is decoded at the size of that place
    // (by libwebp's own area-averaging scaler, as it decodes): most of the work of a large picture
    // shown on a screen is left out. Animations are decoded as they are.
    void ReduceFor(IntSize drawn) override;
    std::optional<TPicture> Frames() override;

private:
    std::optional<TPicture> DecodeStill();
    std::optional<TPicture> DecodeAnimation();
    void ReadColorProfile();

    Limits limits_;
    std::span<const std::uint8_t> bytes_;
    IntSize size_;
    IntSize decoded_;  // the still's size as decoded: its own, or reduced for its place
    bool animated_ = false;
    bool opened_ = false;
};

}  // namespace gfx
