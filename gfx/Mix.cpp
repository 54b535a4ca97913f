#include "gfx/Mix.h"

#include <algorithm>
#include <cstring>

#include "gfx/Blend.h"

namespace gfx {

namespace {

// Eight pixels at a time in 16-bit lanes: the compiler maps these vectors onto the SIMD registers
// that the build's flags give it (SSE2, or AVX2 where the building machine has it), so the same
// source serves every target and nothing is chosen while running.
constexpr std::int32_t kBlock = 8;
using Bytes = std::uint8_t __attribute__((vector_size(4 * kBlock)));
using Words = std::uint16_t __attribute__((vector_size(8 * kBlock)));
using Quads = std::uint32_t __attribute__((vector_size(4 * kBlock)));

// The channels of kBlock pixels, with `set` or-ed into each pixel first. The vectors go by reference:
// a wide vector passed by value would change the calling convention between the two targets.
__attribute__((always_inline)) inline void Widen(Words& words, const Color32* pixels, Color32 set) {
    Quads q;
    std::memcpy(&q, pixels, sizeof q);
    q |= set;
    Bytes b;
    std::memcpy(&b, &q, sizeof b);
    words = __builtin_convertvector(b, Words);
}

// The lower row is a picture's, or one colour when ColourUnder.
template <bool ColourUnder>
__attribute__((always_inline)) inline void MixRow(Color32* out, const Color32* under, Color32 colour,
                                                  const Color32* over, std::int32_t n, std::uint32_t alpha) {
    const auto w = static_cast<std::uint16_t>(alpha);
    const auto v = static_cast<std::uint16_t>(255 - alpha);
    Words below{};
    if constexpr (ColourUnder) {
        Color32 block[kBlock];
        std::fill(block, block + kBlock, colour);
        Widen(below, block, 0);
        below = below * v + 128;
    }
    std::int32_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        Words x;
        Widen(x, over + i, 0xFF000000u);
        x *= w;
        if constexpr (ColourUnder) {
            x += below;
        } else {
            Words y;
            Widen(y, under + i, 0);
            x += y * v + 128;
        }
        // Div255 in every lane: each holds at most 255 * 255 + 128.
        x = (x + (x >> 8)) >> 8;
        const Bytes result = __builtin_convertvector(x, Bytes);
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

// The channels of kBlock pixels with each pixel's alpha in all four of its lanes: the alpha bytes
// are spread through each word by shifts, which every target has, before the words are widened.
__attribute__((always_inline)) inline void WidenAlpha(Words& words, const Color32* pixels) {
    Quads q;
    std::memcpy(&q, pixels, sizeof q);
    q >>= 24;
    q |= q << 8;
    q |= q << 16;
    Bytes b;
    std::memcpy(&b, &q, sizeof b);
    words = __builtin_convertvector(b, Words);
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
        Words x;
        Widen(x, over + i, 0);
        Words w;
        WidenAlpha(w, over + i);
        Words y;
        Widen(y, under + i, 0);
        x = x * w + y * (255 - w) + 128;
        x = (x + (x >> 8)) >> 8;
        const Bytes mixed = __builtin_convertvector(x, Bytes);
        Quads q;
        std::memcpy(&q, &mixed, sizeof q);
        q |= 0xFF000000u;
        std::memcpy(target + i, &q, sizeof q);
    }
    for (; i < n; ++i) {
        target[i] = Mix(under[i], over[i], AlphaOf(over[i])) | 0xFF000000u;
    }
}

}  // namespace gfx
