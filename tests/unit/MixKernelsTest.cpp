// Every width the mixing loops are built for gives what the scalar arithmetic gives, for rows that
// start anywhere against the vector registers and end anywhere in a block, and for pictures large
// enough that their stores go straight to memory.

#include <gtest/gtest.h>

#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Blend.h"
#include "gfx/MixKernels.h"

namespace {

using gfx::Color32;
using gfx::MixKernels;
using gfx::TBitmap32;

std::vector<const MixKernels*> EveryWidth() {
    std::vector<const MixKernels*> kernels{&gfx::Sse2MixKernels(), &gfx::BuildMixKernels()};
    if (gfx::Avx2MixKernels() != nullptr) {
        kernels.push_back(gfx::Avx2MixKernels());
    }
    return kernels;
}

TBitmap32 Noise(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    TBitmap32 b(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            b.Row(y)[x] = (static_cast<std::uint32_t>(x) * 2654435761u) ^ ((static_cast<std::uint32_t>(y) + seed) * 40503u);
        }
    }
    return b;
}

// target's pixels from column `from` on, against the scalar mix of the same pixels.
void ExpectMixed(const TBitmap32& target, std::int32_t from, const TBitmap32& under, const TBitmap32* overPicture,
                 Color32 colour, std::uint32_t alpha, std::int32_t width, const MixKernels& k) {
    std::int64_t wrong = 0;
    for (std::int32_t y = 0; y < target.Height() && wrong < 5; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const Color32 lower = overPicture != nullptr ? under.Row(y)[x] : colour;
            const Color32 upper = (overPicture != nullptr ? *overPicture : under).Row(y)[x] | 0xFF000000u;
            const Color32 expected = gfx::Mix(lower, upper, alpha);
            if (target.Row(y)[from + x] != expected) {
                ADD_FAILURE() << k.vectorBytes << "-byte loops at " << x << "," << y << " alpha " << alpha << ": "
                              << std::hex << target.Row(y)[from + x] << " != " << expected;
                ++wrong;
            }
        }
    }
}

TEST(MixKernels, EveryWidthMixesAsTheScalarArithmeticAtAnyAlignment) {
    // Small pictures take plain stores, the 1100 x 1000 one (over 4 MiB) streamed ones; each is
    // written from every column offset of a register, so the streamed rows start misaligned.
    for (const MixKernels* k : EveryWidth()) {
        for (const auto& [width, height] : {std::pair{1, 1}, std::pair{19, 3}, std::pair{37, 2}, std::pair{1100, 1000}}) {
            const TBitmap32 under = Noise(width, height, 1);
            const TBitmap32 over = Noise(width, height, 2);
            for (const std::int32_t from : {0, 1, 3, 7}) {
                for (const std::uint32_t alpha : {0u, 93u, 255u, 300u}) {
                    TBitmap32 target(width + from, height, 0x12345678u);
                    const gfx::PixelView view{target.Row(0) + from, width, height, target.Width()};
                    k->mix(view, under.View(), over.View(), alpha);
                    ExpectMixed(target, from, under, &over, 0, alpha > 255 ? 255 : alpha, width, *k);
                    k->mixOnColour(view, 0xFF336699u, over.View(), alpha);
                    ExpectMixed(target, from, over, nullptr, 0xFF336699u, alpha > 255 ? 255 : alpha, width, *k);
                    for (std::int32_t x = 0; x < from; ++x) {
                        ASSERT_EQ(target.Row(height - 1)[x], 0x12345678u) << "left of the view";
                    }
                }
            }
        }
    }
}

TEST(MixKernels, EveryWidthMixesARowByItsOwnAlphaAsTheScalarArithmetic) {
    for (const MixKernels* k : EveryWidth()) {
        for (const std::int32_t n : {0, 5, 8, 17, 300}) {
            std::vector<Color32> under(n);
            std::vector<Color32> over(n);
            for (std::int32_t i = 0; i < n; ++i) {
                under[i] = 0xFF000000u | (static_cast<std::uint32_t>(i) * 2654435761u >> 8);
                over[i] = static_cast<std::uint32_t>(i) * 40503u * 2246822519u;
            }
            std::vector<Color32> target(n + 1, 0x12345678u);
            k->mixByAlpha(target.data(), under.data(), over.data(), n);
            for (std::int32_t i = 0; i < n; ++i) {
                ASSERT_EQ(target[i], gfx::BlendOver(over[i], under[i], 255)) << k->vectorBytes << " at " << i;
            }
            EXPECT_EQ(target[n], 0x12345678u);
        }
    }
}

}  // namespace
