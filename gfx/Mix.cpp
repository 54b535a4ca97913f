#include "gfx/Mix.h"

#include <algorithm>
#include <cstring>

#include "gfx/Blend.h"

namespace gfx {

namespace {

// One register of pixels at a time: the compiler maps these vectors onto the SIMD registers that
// the build's flags give it (SSE2, or AVX2 where the building machine has it), so the same source
// serves every target and nothing is chosen while running. The vectors are exactly one register
// wide, so that no target lowers them through memory.
#if defined(__AVX2__)
constexpr std::int32_t kVectorBytes = 32;
#else
constexpr std::int32_t kVectorBytes = 16;
#endif
constexpr std::int32_t kBlock = kVectorBytes / 4;
using Words = std::uint16_t __attribute__((vector_size(kVectorBytes)));
using Quads = std::uint32_t __attribute__((vector_size(kVectorBytes)));

// A pixel's blue and red, and its green and alpha, each channel alone in a 16-bit lane: two
// channels of every pixel weighed at once, with no widening or narrowing shuffles.
struct Channels {
    Words blueRed;
    Words greenAlpha;
};

__attribute__((always_inline)) inline void Split(Channels& c, const Quads& q) {
    c.blueRed = (Words)(q & 0x00FF00FFu);
    c.greenAlpha = (Words)((q >> 8) & 0x00FF00FFu);
}

__attribute__((always_inline)) inline Quads Load(const Color32* pixels) {
    Quads q;
    std::memcpy(&q, pixels, sizeof q);
    return q;
}

// Div255 in every lane (each holds at most 255 * 255 + 128), then the pixels put back together:
// green and alpha go to the high byte of their lanes by keeping it instead of shifting down.
__attribute__((always_inline)) inline Quads Join(Words blueRed, Words greenAlpha) {
    blueRed = (blueRed + (blueRed >> 8)) >> 8;
    greenAlpha = (greenAlpha + (greenAlpha >> 8)) & 0xFF00;
    return (Quads)(blueRed | greenAlpha);
}

// The lower row is a picture's, or one colour when ColourUnder.
template <bool ColourUnder>
__attribute__((always_inline)) inline void MixRow(Color32* out, const Color32* under, Color32 colour,
                                                  const Color32* over, std::int32_t n, std::uint32_t alpha) {
    const auto w = static_cast<std::uint16_t>(alpha);
    const auto v = static_cast<std::uint16_t>(255 - alpha);
    Channels below{};
    if constexpr (ColourUnder) {
        Split(below, Quads{} + colour);
        below.blueRed = below.blueRed * v + 128;
        below.greenAlpha = below.greenAlpha * v + 128;
    }
    std::int32_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        Channels x;
        Split(x, Load(over + i) | 0xFF000000u);
        x.blueRed *= w;
        x.greenAlpha *= w;
        if constexpr (ColourUnder) {
            x.blueRed += below.blueRed;
            x.greenAlpha += below.greenAlpha;
        } else {
            Channels y;
            Split(y, Load(under + i));
            x.blueRed += y.blueRed * v + 128;
            x.greenAlpha += y.greenAlpha * v + 128;
        }
        const Quads result = Join(x.blueRed, x.greenAlpha);
        std::memcpy(out + i, &result, sizeof result);
    }
    for (; i < n; ++i) {
        out[i] = Mix(ColourUnder ? colour : under[i], over[i] | 0xFF000000u, alpha);
    }
}

template <bool ColourUnder>
__attribute__((always_inline)) inline void MixRows(const PixelView& target, const ConstPixelView& under, Color32 colour,
                                                   const ConstPixelView& over, std::uint32_t alpha) {
    std::int32_t width = std::min(target.width, over.width);
    std::int32_t height = std::min(target.height, over.height);
    if constexpr (!ColourUnder) {
        width = std::min(width, under.width);
        height = std::min(height, under.height);
    }
    for (std::int32_t y = 0; y < height; ++y) {
        MixRow<ColourUnder>(target.Row(y), ColourUnder ? nullptr : under.Row(y), colour, over.Row(y), width, alpha);
    }
}

template <bool ColourUnder>
void Dispatch(const PixelView& target, const ConstPixelView& under, Color32 colour, const ConstPixelView& over,
              std::uint32_t alpha) {
    MixRows<ColourUnder>(target, under, colour, over, std::min<std::uint32_t>(alpha, 255));
}

}  // namespace

void MixPixels(const PixelView& target, const ConstPixelView& under, const ConstPixelView& over, std::uint32_t alpha) {
    Dispatch<false>(target, under, 0, over, alpha);
}

void MixPixels(const PixelView& target, Color32 under, const ConstPixelView& over, std::uint32_t alpha) {
    Dispatch<true>(target, {}, under, over, alpha);
}

void MixRowByAlpha(Color32* target, const Color32* under, const Color32* over, std::int32_t n) {
    std::int32_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        const Quads q = Load(over + i);
        // Each pixel's alpha in both 16-bit lanes of its word.
        const Quads a = q >> 24;
        const Words w = (Words)(a | (a << 16));
        Channels x;
        Split(x, q);
        Channels y;
        Split(y, Load(under + i));
        const Words v = 255 - w;
        const Quads mixed = Join(x.blueRed * w + y.blueRed * v + 128, x.greenAlpha * w + y.greenAlpha * v + 128);
        const Quads opaque = mixed | 0xFF000000u;
        std::memcpy(target + i, &opaque, sizeof opaque);
    }
    for (; i < n; ++i) {
        target[i] = Mix(under[i], over[i], AlphaOf(over[i])) | 0xFF000000u;
    }
}

}  // namespace gfx
