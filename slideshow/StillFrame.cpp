#include "slideshow/StillFrame.h"

#include "slideshow/Layout.h"

namespace show {

namespace {

// Every pixel of the image takes the mask layer's blue channel as its alpha.
void ApplyMask(gfx::TBitmap32& layer, const gfx::TBitmap32& maskLayer) {
    const std::size_t count = static_cast<std::size_t>(layer.Width()) * static_cast<std::size_t>(layer.Height());
    gfx::Color32* p = layer.Bits();
    const gfx::Color32* m = maskLayer.Bits();
    for (std::size_t i = 0; i < count; ++i) {
        p[i] = (p[i] & 0x00FFFFFFu) | (gfx::Color32{gfx::BlueOf(m[i])} << 24);
    }
}

}  // namespace

gfx::IntRect DrawStillOnFrame(gfx::TBitmap32& image, gfx::TBitmap32* mask, bool keepAlpha,
                              std::int32_t sizeMode, gfx::IntSize imageSize, gfx::TBitmap32& frame) {
    const gfx::IntSize size{frame.Width(), frame.Height()};
    const gfx::IntRect place = PlaceStill(sizeMode, size, imageSize);
    image.SetDrawMode(gfx::DrawMode::Opaque);
    if (!mask && !keepAlpha) {
        // An opaque image covers its rectangle: it goes straight onto the frame.
        image.DrawTo(frame, place);
        return place;
    }
    gfx::TBitmap32 layer(size.width, size.height, 0);
    image.DrawTo(layer, place);
    if (mask) {
        gfx::TBitmap32 maskLayer(size.width, size.height, gfx::kOpaqueBlack);
        mask->SetDrawMode(gfx::DrawMode::Opaque);
        mask->DrawTo(maskLayer, place);
        ApplyMask(layer, maskLayer);
    }
    layer.SetDrawMode(gfx::DrawMode::Blend);
    layer.DrawTo(frame, gfx::IntPoint{0, 0});
    return place;
}

}  // namespace show
