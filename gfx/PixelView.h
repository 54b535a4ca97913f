#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace gfx {

// Rows of 0xAARRGGBB pixels that someone else owns: a TBitmap32, or a DIB section of the Windows
// backend. Stride counts pixels from one row to the next.
struct PixelView {
    Color32* bits = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;

    Color32* Row(std::int32_t y) const { return bits + y * stride; }
    IntRect Bounds() const { return {0, 0, width, height}; }
};

struct ConstPixelView {
    const Color32* bits = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;

    ConstPixelView() = default;
    ConstPixelView(const Color32* b, std::int32_t w, std::int32_t h, std::ptrdiff_t s)
        : bits(b), width(w), height(h), stride(s) {}
    ConstPixelView(const PixelView& v) : bits(v.bits), width(v.width), height(v.height), stride(v.stride) {}

    const Color32* Row(std::int32_t y) const { return bits + y * stride; }
    IntRect Bounds() const { return {0, 0, width, height}; }
};

}  // namespace gfx
