// Drawing one bitmap onto another: at a position or stretched, copied or blended. The row loops are
// instantiated once per combination, so no pixel decides between them.

#include <algorithm>

#include "gfx/Bitmap32.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"

namespace gfx {

namespace {

template <bool Blend>
void PutPixel(Color32& out, Color32 in, std::uint32_t master) {
    if constexpr (Blend) {
        out = BlendOver(in, out, master);
    } else {
        out = in;
    }
}

template <bool Blend>
void DrawRows(const PixelView& target, IntPoint at, const ConstPixelView& source, const IntRect& sourceRect,
              std::uint32_t master) {
    if constexpr (!Blend) {
        CopyPixels(target, at, source, sourceRect);
    } else {
        const IntRect src = sourceRect.Intersect(source.Bounds());
        const std::int32_t dx = at.x + (src.left - sourceRect.left);
        const std::int32_t dy = at.y + (src.top - sourceRect.top);
        const IntRect dst = IntRect::FromSize(dx, dy, src.Width(), src.Height()).Intersect(target.Bounds());
        const std::int32_t sx = src.left + (dst.left - dx);
        const std::int32_t sy = src.top + (dst.top - dy);
        for (std::int32_t y = 0; y < dst.Height(); ++y) {
            const Color32* in = source.Row(sy + y) + sx;
            Color32* out = target.Row(dst.top + y) + dst.left;
            for (std::int32_t x = 0; x < dst.Width(); ++x) {
                PutPixel<true>(out[x], in[x], master);
            }
        }
    }
}

// Where target pixel i of n samples a source span of m pixels, in 16.16 fixed point from the span's
// start: pixel centres map onto pixel centres.
struct Sampler {
    std::int64_t start;
    std::int64_t step;
    std::int32_t last;  // m - 1

    Sampler(std::int32_t n, std::int32_t m)
        : start(((std::int64_t{m} << 16) / n) / 2 - 0x8000), step((std::int64_t{m} << 16) / n), last(m - 1) {}

    // The two source pixels and the weight (0..255) of the second one.
    void At(std::int32_t i, std::int32_t& p0, std::int32_t& p1, std::uint32_t& w) const {
        const std::int64_t p = start + step * i;
        if (p <= 0) {
            p0 = p1 = 0;
            w = 0;
            return;
        }
        p0 = static_cast<std::int32_t>(p >> 16);
        if (p0 >= last) {
            p0 = p1 = last;
            w = 0;
            return;
        }
        p1 = p0 + 1;
        w = static_cast<std::uint32_t>((p >> 8) & 0xFF);
    }
};

template <bool Blend>
void StretchRows(const PixelView& target, const IntRect& targetRect, const ConstPixelView& source,
                 const IntRect& sourceRect, std::uint32_t master) {
    const std::int32_t tw = targetRect.Width();
    const std::int32_t th = targetRect.Height();
    const Sampler sx(tw, sourceRect.Width());
    const Sampler sy(th, sourceRect.Height());
    const std::int32_t i0 = std::max(0, -targetRect.left);
    const std::int32_t i1 = std::min(tw, target.width - targetRect.left);
    const std::int32_t j0 = std::max(0, -targetRect.top);
    const std::int32_t j1 = std::min(th, target.height - targetRect.top);
    for (std::int32_t j = j0; j < j1; ++j) {
        std::int32_t r0 = 0;
        std::int32_t r1 = 0;
        std::uint32_t wy = 0;
        sy.At(j, r0, r1, wy);
        const Color32* top = source.Row(sourceRect.top + r0) + sourceRect.left;
        const Color32* bottom = source.Row(sourceRect.top + r1) + sourceRect.left;
        Color32* out = target.Row(targetRect.top + j) + targetRect.left;
        for (std::int32_t i = i0; i < i1; ++i) {
            std::int32_t c0 = 0;
            std::int32_t c1 = 0;
            std::uint32_t wx = 0;
            sx.At(i, c0, c1, wx);
            const Color32 upper = Lerp(top[c0], top[c1], wx);
            const Color32 lower = Lerp(bottom[c0], bottom[c1], wx);
            PutPixel<Blend>(out[i], Lerp(upper, lower, wy), master);
        }
    }
}

}  // namespace

void TBitmap32::DrawTo(TBitmap32& target, IntPoint at) const {
    if (drawMode_ == DrawMode::Blend) {
        DrawRows<true>(target.View(), at, View(), BoundsRect(), masterAlpha_);
    } else {
        DrawRows<false>(target.View(), at, View(), BoundsRect(), masterAlpha_);
    }
}

void TBitmap32::DrawTo(TBitmap32& target, const IntRect& targetRect, const IntRect& sourceRect) const {
    if (targetRect.IsEmpty() || sourceRect.IsEmpty()) {
        return;
    }
    const bool blend = drawMode_ == DrawMode::Blend;
    if (targetRect.Size() == sourceRect.Size()) {
        const IntPoint at{targetRect.left, targetRect.top};
        if (blend) {
            DrawRows<true>(target.View(), at, View(), sourceRect, masterAlpha_);
        } else {
            DrawRows<false>(target.View(), at, View(), sourceRect, masterAlpha_);
        }
        return;
    }
    // Stretching samples only pixels that exist.
    const IntRect src = sourceRect.Intersect(BoundsRect());
    if (src.IsEmpty()) {
        return;
    }
    if (blend) {
        StretchRows<true>(target.View(), targetRect, View(), src, masterAlpha_);
    } else {
        StretchRows<false>(target.View(), targetRect, View(), src, masterAlpha_);
    }
}

}  // namespace gfx
