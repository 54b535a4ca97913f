#include "gfx/Bitmap32.h"

#include <algorithm>

#include "gfx/Blit.h"

namespace gfx {

void TBitmap32::SetSize(std::int32_t width, std::int32_t height, Color32 fill) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (width_ == 0 || height_ == 0) {
        width_ = height_ = 0;
    }
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
}

Color32 TBitmap32::PixelS(std::int32_t x, std::int32_t y) const {
    return BoundsRect().Contains({x, y}) ? Pixel(x, y) : 0;
}

void TBitmap32::SetPixelS(std::int32_t x, std::int32_t y, Color32 c) {
    if (BoundsRect().Contains({x, y})) {
        SetPixel(x, y, c);
    }
}

void TBitmap32::Clear(Color32 color) { std::fill(pixels_.begin(), pixels_.end(), color); }

void TBitmap32::FillRect(const IntRect& rect, Color32 color) { FillPixels(View(), rect, color); }

void TBitmap32::ResetAlpha(std::uint8_t alpha) {
    const Color32 a = Color32{alpha} << 24;
    for (Color32& p : pixels_) {
        p = (p & 0x00FFFFFFu) | a;
    }
}

void TBitmap32::Mirror() {
    for (std::int32_t y = 0; y < height_; ++y) {
        std::reverse(Row(y), Row(y) + width_);
    }
}

void TBitmap32::Flip() {
    for (std::int32_t top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(Row(top), Row(top) + width_, Row(bottom));
    }
}

void TBitmap32::CopyRect(IntPoint at, const TBitmap32& source, const IntRect& sourceRect) {
    CopyPixels(View(), at, source.View(), sourceRect);
}

}  // namespace gfx
