#include "gfx/Bitmap32.h"

#include <algorithm>

namespace gfx {

void TBitmap32::SetSize(std::int32_t width, std::int32_t height, Color32 fill) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (width_ == 0 || height_ == 0) {
        width_ = height_ = 0;
    }
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
}

void TBitmap32::Clear(Color32 color) { std::fill(pixels_.begin(), pixels_.end(), color); }

void TBitmap32::FillRect(const IntRect& rect, Color32 color) {
    const IntRect r = rect.Intersect(BoundsRect());
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        std::fill(Row(y) + r.left, Row(y) + r.right, color);
    }
}

}  // namespace gfx
