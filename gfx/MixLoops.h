#pragma once

// The vector loops of the mixing routines, for inclusion by the files that build them at one width
// each. Everything here has internal linkage: each file keeps its own copy, built with its own
// instruction set, and the linker can never hand one file's copy to another. For the same reason it
// calls no inline function of the standard library, whose one shared copy could come from either
// file; the scalar helpers of Blend.h it calls for the last few pixels hold no vector code.

#include <cstdint>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "gfx/Blend.h"
#include "gfx/MixKernels.h"

namespace gfx {
namespace {

#define SAVER_MIX_INLINE __attribute__((always_inline)) inline

// One register of pixels at a time: the compiler maps these vectors onto the SIMD registers of the
// width asked for, so the same source serves every target. The vectors are exactly one register
// wide, so that no target lowers them through memory. Each width is spelled out, since GCC drops a
// vector size that depends on a template's argument.
template <int Bytes>
struct Vectors;

template <>
struct Vectors<16> {
    using Words = std::uint16_t __attribute__((vector_size(16)));
    using Quads = std::uint32_t __attribute__((vector_size(16)));
};

template <>
struct Vectors<32> {
    using Words = std::uint16_t __attribute__((vector_size(32)));
    using Quads = std::uint32_t __attribute__((vector_size(32)));
};

template <int Bytes>
struct Lanes {
    using Words = typename Vectors<Bytes>::Words;
    using Quads = typename Vectors<Bytes>::Quads;
    static_assert(sizeof(Quads) == Bytes);
    static constexpr std::int32_t kBlock = Bytes / 4;

    // A pixel's blue and red, and its green and alpha, each channel alone in a 16-bit lane: two
    // channels of every pixel weighed at once, with no widening or narrowing shuffles.
    struct Channels {
        Words blueRed;
        Words greenAlpha;
    };

    static SAVER_MIX_INLINE Channels Split(const Quads& q) {
        return {(Words)(q & 0x00FF00FFu), (Words)((q >> 8) & 0x00FF00FFu)};
    }

    static SAVER_MIX_INLINE Quads Load(const Color32* pixels) {
        Quads q;
        __builtin_memcpy(&q, pixels, sizeof q);
        return q;
    }

    // Div255 in every lane (each holds at most 255 * 255 + 128), then the pixels put back together:
    // green and alpha go to the high byte of their lanes by keeping it instead of shifting down.
    static SAVER_MIX_INLINE Quads Join(Words blueRed, Words greenAlpha) {
        blueRed = (blueRed + (blueRed >> 8)) >> 8;
        greenAlpha = (greenAlpha + (greenAlpha >> 8)) & 0xFF00;
        return (Quads)(blueRed | greenAlpha);
    }

    static SAVER_MIX_INLINE void Store(Color32* pixels, const Quads& q) { __builtin_memcpy(pixels, &q, sizeof q); }

    // A store that goes to memory without first reading the line into the cache: pixels must lie on a
    // whole register.
    static SAVER_MIX_INLINE void Stream(Color32* pixels, const Quads& q) {
#if defined(__AVX2__)
        if constexpr (Bytes == 32) {
            _mm256_stream_si256(reinterpret_cast<__m256i*>(pixels), (__m256i)q);
            return;
        }
#endif
#if defined(__SSE2__)
        if constexpr (Bytes == 16) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(pixels), (__m128i)q);
            return;
        }
#endif
        Store(pixels, q);
    }
};

// A picture this large would push the two it reads out of the cache, and what it writes is not read
// again until it goes to the screen: its stores go straight to memory.
constexpr std::int64_t kStreamBytes = std::int64_t{4} << 20;

SAVER_MIX_INLINE std::int32_t Least(std::int32_t a, std::int32_t b) { return a < b ? a : b; }

// The lower row is a picture's, or one colour when ColourUnder. Streaming, the pixels up to the first
// whole register of out are mixed one by one.
template <int Bytes, bool ColourUnder, bool Streaming>
SAVER_MIX_INLINE void MixRow(Color32* out, const Color32* under, Color32 colour, const Color32* over,
                             std::int32_t n, std::uint32_t alpha) {
    using L = Lanes<Bytes>;
    const auto w = static_cast<std::uint16_t>(alpha);
    const auto v = static_cast<std::uint16_t>(255 - alpha);
    typename L::Channels below{};
    if constexpr (ColourUnder) {
        below = L::Split(typename L::Quads{} + colour);
        below.blueRed = below.blueRed * v + 128;
        below.greenAlpha = below.greenAlpha * v + 128;
    }
    std::int32_t i = 0;
    if constexpr (Streaming) {
        const auto misplaced = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(out) % Bytes / 4);
        for (const std::int32_t first = Least(n, misplaced == 0 ? 0 : L::kBlock - misplaced); i < first; ++i) {
            out[i] = Mix(ColourUnder ? colour : under[i], over[i] | 0xFF000000u, alpha);
        }
    }
    for (; i + L::kBlock <= n; i += L::kBlock) {
        typename L::Channels x = L::Split(L::Load(over + i) | 0xFF000000u);
        x.blueRed *= w;
        x.greenAlpha *= w;
        if constexpr (ColourUnder) {
            x.blueRed += below.blueRed;
            x.greenAlpha += below.greenAlpha;
        } else {
            const typename L::Channels y = L::Split(L::Load(under + i));
            x.blueRed += y.blueRed * v + 128;
            x.greenAlpha += y.greenAlpha * v + 128;
        }
        const typename L::Quads result = L::Join(x.blueRed, x.greenAlpha);
        if constexpr (Streaming) {
            L::Stream(out + i, result);
        } else {
            L::Store(out + i, result);
        }
    }
    for (; i < n; ++i) {
        out[i] = Mix(ColourUnder ? colour : under[i], over[i] | 0xFF000000u, alpha);
    }
}

template <int Bytes, bool ColourUnder, bool Streaming>
SAVER_MIX_INLINE void MixRowsAs(const PixelView& target, const ConstPixelView& under, Color32 colour,
                                const ConstPixelView& over, std::int32_t width, std::int32_t height,
                                std::uint32_t alpha) {
    for (std::int32_t y = 0; y < height; ++y) {
        MixRow<Bytes, ColourUnder, Streaming>(target.Row(y), ColourUnder ? nullptr : under.Row(y), colour, over.Row(y),
                                              width, alpha);
    }
}

template <int Bytes, bool ColourUnder>
void MixRows(const PixelView& target, const ConstPixelView& under, Color32 colour, const ConstPixelView& over,
             std::uint32_t alpha) {
    std::int32_t width = Least(target.width, over.width);
    std::int32_t height = Least(target.height, over.height);
    if constexpr (!ColourUnder) {
        width = Least(width, under.width);
        height = Least(height, under.height);
    }
    if (width <= 0 || height <= 0) {
        return;
    }
    alpha = alpha < 255 ? alpha : 255;
#if defined(__SSE2__)
    if (std::int64_t{width} * height * 4 >= kStreamBytes) {
        MixRowsAs<Bytes, ColourUnder, true>(target, under, colour, over, width, height, alpha);
        // Streamed stores are ordered by nothing else: they must be out before whoever takes the
        // picture next is told it is ready.
        _mm_sfence();
        return;
    }
#endif
    MixRowsAs<Bytes, ColourUnder, false>(target, under, colour, over, width, height, alpha);
}

template <int Bytes>
void MixPictures(const PixelView& target, const ConstPixelView& under, const ConstPixelView& over,
                 std::uint32_t alpha) {
    MixRows<Bytes, false>(target, under, 0, over, alpha);
}

template <int Bytes>
void MixOnColour(const PixelView& target, Color32 under, const ConstPixelView& over, std::uint32_t alpha) {
    MixRows<Bytes, true>(target, {}, under, over, alpha);
}

template <int Bytes>
void MixByAlpha(Color32* target, const Color32* under, const Color32* over, std::int32_t n) {
    using L = Lanes<Bytes>;
    std::int32_t i = 0;
    for (; i + L::kBlock <= n; i += L::kBlock) {
        const typename L::Quads q = L::Load(over + i);
        // Each pixel's alpha in both 16-bit lanes of its word.
        const typename L::Quads a = q >> 24;
        const auto w = (typename L::Words)(a | (a << 16));
        const typename L::Channels x = L::Split(q);
        const typename L::Channels y = L::Split(L::Load(under + i));
        const typename L::Words v = 255 - w;
        const typename L::Quads mixed =
            L::Join(x.blueRed * w + y.blueRed * v + 128, x.greenAlpha * w + y.greenAlpha * v + 128);
        L::Store(target + i, mixed | 0xFF000000u);
    }
    for (; i < n; ++i) {
        target[i] = Mix(under[i], over[i], AlphaOf(over[i])) | 0xFF000000u;
    }
}

template <int Bytes>
constexpr MixKernels kMixKernels{Bytes, MixPictures<Bytes>, MixOnColour<Bytes>, MixByAlpha<Bytes>};

#undef SAVER_MIX_INLINE

}  // namespace
}  // namespace gfx
