#pragma once

#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// PNG through libpng: every colour type and depth, interlaced or not, alpha and palette
// transparency kept, 16-bit channels reduced to 8. A picture beyond the pixel cap is refused
// before anything is allocated for it.
class TPngDecoder final : public TPictureDecoder {
public:
    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    std::optional<TPicture> Frames() override;

private:
    std::optional<TPicture> Decode();

    std::span<const std::uint8_t> bytes_;
    IntSize size_;
    bool opened_ = false;
};

}  // namespace gfx
