#pragma once

#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// TIFF through libtiff: the first page, in whatever photometric, depth and compression libtiff
// reads (fax files are bilevel TIFFs with CCITT compression), decoded opaque. A page beyond the
// pixel cap is refused before anything is allocated for it.
class TTiffDecoder final : public TPictureDecoder {
public:
    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    std::optional<TPicture> Frames() override;

private:
    std::span<const std::uint8_t> bytes_;
    IntSize size_;
    bool opened_ = false;
};

}  // namespace gfx
