#pragma once

#include "gfx/decode/Orientation.h"
#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// JPEG through libjpeg-turbo: grey, YCbCr, RGB and CMYK/YCCK pictures, baseline or progressive,
// decoded opaque and upright: the orientation of an EXIF block turns and mirrors it (the sides
// swap for a quarter turn). A picture beyond the pixel cap is decoded at 1/2, 1/4 or 1/8 of its
// size, the least reduction that fits; one that does not fit even at 1/8 is refused. So is a
// picture whose data ends before its last row.
// A picture more than twice as wide and as high as the rectangle it will be drawn in is decoded
// at the largest reduction of 1/2, 1/4 and 1/8 that still covers that rectangle: most of the
// work of a large photograph shown on a screen is left out.
// The ICC profile of an RGB picture is kept; asked to, its rows are converted to sRGB as they are
// decoded, or, for a picture still larger than the rectangle it will be drawn in, after it has been
// stretched to that rectangle as the layout draws it: converting costs more a pixel than stretching.
class TJpegDecoder final : public TPictureDecoder {
public:
    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    void ReduceFor(IntSize drawn) override;
    bool ConvertRowsWith(const TSrgbConversion& toSrgb) override;
    std::optional<TPicture> Frames() override;

private:
    std::optional<TPicture> Decode(const TSrgbConversion* whileDecoding);
    // Whether the picture, decoded at its scale, has more pixels than the rectangle it is drawn in.
    bool LargerThanDrawn() const;

    std::span<const std::uint8_t> bytes_;
    IntSize full_;    // the size of the rows as stored, at full scale
    IntSize stored_;  // the size of the rows as stored, at the scale decoded
    IntSize size_;    // upright, after the reduction for the pixel cap
    TOrientation orientation_ = TOrientation::TopLeft;
    IntSize drawn_;   // upright, as ReduceFor was told; 0 x 0 when it was not
    int scaleNum_ = 0;  // eighths; 0 until opened
    const TSrgbConversion* toSrgb_ = nullptr;
};

}  // namespace gfx
