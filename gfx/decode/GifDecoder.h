#pragma once

#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// GIF through giflib: every frame as stored, at its own rectangle (not composed), with its delay,
// disposal and transparent colour; the logical screen, the background colour and the looping
// extension's count. A frame reaching out of the logical screen is clipped to it (one wholly
// outside is kept, empty, for its delay). Without any colour table the indices show as a grey
// ramp. Frames beyond the animation limits are left out. Damage after a frame ends the animation
// there, and a frame cut off by damage keeps the rows read (the rest transparent); only a file
// whose first frame cannot be read at all gives nothing.
class TGifDecoder final : public TPictureDecoder {
public:
    using Limits = TAnimationLimits;

    TGifDecoder() = default;
    explicit TGifDecoder(Limits limits) : limits_(limits) {}

    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    std::optional<TPicture> Frames() override;

private:
    std::optional<TPicture> Decode();

    Limits limits_;
    std::span<const std::uint8_t> bytes_;
    IntSize size_;
    bool opened_ = false;
};

}  // namespace gfx
