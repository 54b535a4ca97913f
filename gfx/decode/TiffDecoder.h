#pragma once

#include "gfx/decode/Orientation.h"
#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// TIFF through libtiff: the first page, upright by its orientation (the sides swap for a quarter
// turn). Pages that libtiff's RGBA interface shows rightly go through it (every photometric, depth
// and compression it knows; fax files are bilevel TIFFs with CCITT compression), decoded opaque;
// grey, RGB, CMYK and CIELab pages it refuses or gets wrong (signed, floating-point or odd-depth
// samples, alpha, CMYK beyond 8 bits, CIELab) are read sample by sample here, alpha kept. A page
// beyond the pixel cap is refused before anything is allocated for it.
class TTiffDecoder final : public TPictureDecoder {
public:
    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    std::optional<TPicture> Frames() override;

private:
    std::optional<TPicture> Decode();

    std::span<const std::uint8_t> bytes_;
    IntSize size_;  // upright
    bool opened_ = false;
};

}  // namespace gfx
