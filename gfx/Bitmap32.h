#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace gfx {

// A width x height array of 0xAARRGGBB pixels, rows top to bottom.
class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(std::int32_t width, std::int32_t height, Color32 fill = kOpaqueBlack) { SetSize(width, height, fill); }

    // Negative sizes count as empty.
    void SetSize(std::int32_t width, std::int32_t height, Color32 fill = kOpaqueBlack);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    IntRect BoundsRect() const { return {0, 0, width_, height_}; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    Color32* Bits() { return pixels_.data(); }
    const Color32* Bits() const { return pixels_.data(); }
    Color32* Row(std::int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const Color32* Row(std::int32_t y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }

    Color32 Pixel(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
    void SetPixel(std::int32_t x, std::int32_t y, Color32 c) { Row(y)[x] = c; }

    void Clear(Color32 color);
    // Fills the part of rect that lies inside the bitmap.
    void FillRect(const IntRect& rect, Color32 color);

    friend bool operator==(const TBitmap32&, const TBitmap32&) = default;

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<Color32> pixels_;
};

}  // namespace gfx
