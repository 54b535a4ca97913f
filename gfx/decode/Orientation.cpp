#include "gfx/decode/Orientation.h"

#include <cstddef>

namespace gfx {

namespace {

bool SwapsSides(TOrientation o) { return o >= TOrientation::LeftTop; }

}  // namespace

TOrientation OrientationFromValue(std::uint32_t value) {
    return value >= 1 && value <= 8 ? static_cast<TOrientation>(value) : TOrientation::TopLeft;
}

IntSize OrientedSize(IntSize stored, TOrientation orientation) {
    return SwapsSides(orientation) ? IntSize{stored.height, stored.width} : stored;
}

TOrientedRows::TOrientedRows(IntSize stored, TOrientation orientation) : stored_(stored), orientation_(orientation) {
    const IntSize upright = OrientedSize(stored, orientation);
    upright_.SetSize(upright.width, upright.height);
}

Color32* TOrientedRows::RowInPlace(std::int32_t y) {
    return orientation_ == TOrientation::TopLeft ? upright_.Row(y) : nullptr;
}

void TOrientedRows::Put(std::int32_t x, std::int32_t y, const Color32* pixels, std::int32_t count) {
    // Stored (x, y) goes to the upright place `first`; each next stored column moves it by `step`.
    const auto w = static_cast<std::ptrdiff_t>(stored_.width);
    const auto h = static_cast<std::ptrdiff_t>(stored_.height);
    const auto sx = static_cast<std::ptrdiff_t>(x);
    const auto sy = static_cast<std::ptrdiff_t>(y);
    std::ptrdiff_t first = 0;
    std::ptrdiff_t step = 1;
    switch (orientation_) {
        case TOrientation::TopLeft:
            first = sy * w + sx;
            step = 1;
            break;
        case TOrientation::TopRight:
            first = sy * w + (w - 1 - sx);
            step = -1;
            break;
        case TOrientation::BottomRight:
            first = (h - 1 - sy) * w + (w - 1 - sx);
            step = -1;
            break;
        case TOrientation::BottomLeft:
            first = (h - 1 - sy) * w + sx;
            step = 1;
            break;
        // The upright picture is h wide: stored row y becomes a column, stored column x a row.
        case TOrientation::LeftTop:
            first = sx * h + sy;
            step = h;
            break;
        case TOrientation::RightTop:
            first = sx * h + (h - 1 - sy);
            step = h;
            break;
        case TOrientation::RightBottom:
            first = (w - 1 - sx) * h + (h - 1 - sy);
            step = -h;
            break;
        case TOrientation::LeftBottom:
            first = (w - 1 - sx) * h + sy;
            step = -h;
            break;
    }
    Color32* out = upright_.Bits();
    for (std::int32_t i = 0; i < count; ++i) {
        out[first + i * step] = pixels[i];
    }
}

}  // namespace gfx
