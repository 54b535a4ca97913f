#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

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

// The same rows cut to at most size: what lies beyond it is out of reach.
inline PixelView Cropped(const PixelView& view, IntSize size) {
    return {view.bits, std::min(view.width, size.width), std::min(view.height, size.height), view.stride};
}

// Something that writes rows of pixels, handed over to be called at once and not kept: the caller's
// callable stays where it is, so handing it over allocates nothing.
class PixelDraw {
public:
    template <typename F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, PixelDraw>)
    PixelDraw(F&& draw)  // NOLINT(google-explicit-constructor): a lambda passes as it is
        : object_(const_cast<void*>(static_cast<const void*>(&draw))),
          call_([](void* object, const PixelView& pixels) { (*static_cast<std::remove_reference_t<F>*>(object))(pixels); }) {}

    void operator()(const PixelView& pixels) const { call_(object_, pixels); }

private:
    void* object_;
    void (*call_)(void*, const PixelView&);
};

}  // namespace gfx
