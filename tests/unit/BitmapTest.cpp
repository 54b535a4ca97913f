// TBitmap32 and the canvas copy: filling, copying and drawing, clipped at every edge; blending and
// bilinear stretching with exact results where the arithmetic is exact.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "gfx/Bitmap32.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Mix.h"

namespace gfx {

// Failures show the pixels, row by row.
void PrintTo(const TBitmap32& b, std::ostream* os) {
    *os << b.Width() << "x" << b.Height() << " {";
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            *os << (x == 0 && y > 0 ? " / " : " ") << std::hex << b.Pixel(x, y) << std::dec;
        }
    }
    *os << " }";
}

}  // namespace gfx

namespace {

using gfx::Color32;
using gfx::TBitmap32;

// A bitmap whose pixels are listed row by row.
TBitmap32 Pixels(std::int32_t width, std::int32_t height, std::initializer_list<Color32> pixels) {
    TBitmap32 b(width, height);
    auto it = pixels.begin();
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            b.SetPixel(x, y, *it++);
        }
    }
    return b;
}

TBitmap32 Numbered(std::int32_t width, std::int32_t height) {
    TBitmap32 b(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            b.SetPixel(x, y, 0xFF000000u | static_cast<Color32>(y * 16 + x));
        }
    }
    return b;
}

constexpr Color32 Grey(std::uint32_t v) { return 0xFF000000u | v << 16 | v << 8 | v; }

TEST(Bitmap32, FillAndCopyStayInsideBothBitmaps) {
    TBitmap32 b(4, 3, 0xFF000000u);
    b.FillRect({-2, -1, 2, 1}, 0xFF111111u);
    b.FillRect({3, 2, 9, 9}, 0xFF222222u);
    EXPECT_EQ(b, Pixels(4, 3,
                        {0xFF111111u, 0xFF111111u, 0xFF000000u, 0xFF000000u,  //
                         0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,  //
                         0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF222222u}));

    // The source rectangle reaches past the source's top-left; the copy past the target's right.
    const TBitmap32 source = Numbered(3, 3);
    TBitmap32 target(4, 2, 0);
    target.CopyRect({2, 0}, source, {-1, -1, 3, 2});
    EXPECT_EQ(target, Pixels(4, 2, {0, 0, 0, 0, 0, 0, 0, 0xFF000000u}));
    target.CopyRect({-1, 0}, source, {0, 1, 3, 3});
    EXPECT_EQ(target, Pixels(4, 2, {0xFF000011u, 0xFF000012u, 0, 0, 0xFF000021u, 0xFF000022u, 0, 0xFF000000u}));
    EXPECT_EQ(target.PixelS(4, 0), 0u);
    target.SetPixelS(-1, 0, 1);  // outside: nothing happens
}

TEST(Bitmap32, MirrorFlipAndAlphaKeepEveryColour) {
    TBitmap32 b = Numbered(3, 3);
    b.Mirror();
    EXPECT_EQ(b.Pixel(0, 1), 0xFF000012u);
    EXPECT_EQ(b.Pixel(1, 1), 0xFF000011u);
    b.Flip();
    EXPECT_EQ(b.Pixel(0, 0), 0xFF000022u);
    EXPECT_EQ(b.Pixel(2, 2), 0xFF000000u);
    b.ResetAlpha(0x40);
    EXPECT_EQ(b.Pixel(0, 0), 0x40000022u);
    b.MakeOpaque();
    EXPECT_EQ(b.Pixel(0, 0), 0xFF000022u);
    b.Clear(0x12345678u);
    EXPECT_EQ(b, TBitmap32(3, 3, 0x12345678u));
}

TEST(Bitmap32, OpaqueDrawCopiesAndBlendDrawMixesByAlphaTimesMasterAlpha) {
    TBitmap32 target(3, 1, 0xFF000000u);
    TBitmap32 source = Pixels(2, 1, {0x80FFFFFFu, 0xFF204060u});
    source.DrawTo(target, gfx::IntPoint{2, 0});  // opaque mode: pixels as they are, clipped
    EXPECT_EQ(target, Pixels(3, 1, {0xFF000000u, 0xFF000000u, 0x80FFFFFFu}));

    target.Clear(0xFF000000u);
    source.SetDrawMode(gfx::DrawMode::Blend);
    source.DrawTo(target, gfx::IntPoint{0, 0});
    // Half-transparent white over black gives about half grey; an opaque pixel replaces the target.
    EXPECT_EQ(target, Pixels(3, 1, {Grey(128), 0xFF204060u, 0xFF000000u}));

    target.Clear(0xFF000000u);
    source.SetMasterAlpha(0);
    source.DrawTo(target, gfx::IntPoint{0, 0});
    EXPECT_EQ(target, TBitmap32(3, 1, 0xFF000000u));

    // Over a transparent target the result takes the source's coverage.
    TBitmap32 clear(1, 1, 0x00000000u);
    source.SetMasterAlpha(255);
    source.DrawTo(clear, gfx::IntPoint{-1, 0});
    EXPECT_EQ(clear.Pixel(0, 0), 0xFF204060u);
}

TEST(Bitmap32, BlendingRoundsEveryChannelToTheNearestStepOfAlphaOver255) {
    // Every source and target value at every weight: alpha 0 leaves the target, 255 gives the source,
    // and in between each channel is t + (s - t) a / 255 rounded to nearest.
    for (std::uint32_t a = 0; a <= 255; ++a) {
        for (std::uint32_t s = 0; s <= 255; ++s) {
            for (std::uint32_t t = 0; t <= 255; ++t) {
                const Color32 mixed = gfx::BlendOver(0xFF000000u | s << 8, 0xFF000000u | t << 8, a);
                const double exact = t + (double(s) - double(t)) * a / 255;
                ASSERT_LE(std::abs(double(gfx::GreenOf(mixed)) - exact), 0.5) << s << " over " << t << " at " << a;
            }
        }
    }
    EXPECT_EQ(gfx::BlendOver(0xFF102030u, 0x7F405060u, 0), 0x7F405060u);
    EXPECT_EQ(gfx::BlendOver(0xFF102030u, 0x7F405060u, 255), 0xFF102030u);
    // The source's own alpha weighs too: half of 128 over transparent black.
    EXPECT_EQ(gfx::BlendOver(0x80FF0000u, 0x00000000u, 128), 0x40400000u);
}

TEST(Bitmap32, MixingWholePicturesDrawsTheUpperOneOpaqueWithTheMasterAlpha) {
    // 19 pixels wide: whole blocks of the vector loop and a tail. The upper picture's own alpha does
    // not count; the result is what drawing it opaque with that master alpha onto the lower one gives.
    TBitmap32 under(19, 3);
    TBitmap32 over(21, 3);
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 21; ++x) {
            over.SetPixel(x, y, static_cast<Color32>(0x40000000u | (x * 12) << 16 | (y * 90) << 8 | (250 - x)));
            under.SetPixelS(x, y, static_cast<Color32>(0xFF000000u | (200 - x * 9) << 16 | (x * 7) << 8 | y));
        }
    }
    for (const std::uint32_t alpha : {0u, 1u, 127u, 200u, 255u}) {
        TBitmap32 target(20, 4, 0x12345678u);
        gfx::MixPixels(target.View(), under.View(), over.View(), alpha);
        TBitmap32 onBlack(20, 4, 0x12345678u);
        gfx::MixPixels(onBlack.View(), 0, over.View(), alpha);
        for (std::int32_t y = 0; y < 4; ++y) {
            for (std::int32_t x = 0; x < 20; ++x) {
                const bool inside = x < 19 && y < 3;
                const Color32 opaque = over.Pixel(x, std::min(y, 2)) | 0xFF000000u;
                EXPECT_EQ(target.Pixel(x, y), inside ? gfx::BlendOver(opaque, under.Pixel(x, y), alpha) : 0x12345678u)
                    << x << "," << y << " at " << alpha;
                EXPECT_EQ(onBlack.Pixel(x, y), y < 3 ? gfx::BlendOver(opaque, 0, alpha) : 0x12345678u)
                    << x << "," << y << " at " << alpha;
            }
        }
    }
}

TEST(Bitmap32, MixingARowByItsOwnAlphaIsBlendingItOntoAnOpaquePicture) {
    // 19 pixels: two vector blocks and a tail; every alpha from 0 to 255 appears along the rows.
    for (std::int32_t row = 0; row < 14; ++row) {
        Color32 under[19];
        Color32 over[19];
        for (std::int32_t x = 0; x < 19; ++x) {
            const auto alpha = static_cast<Color32>((row * 19 + x) % 256);
            over[x] = alpha << 24 | static_cast<Color32>((x * 13) << 16 | (255 - x * 5) << 8 | row * 17);
            under[x] = 0xFF000000u | static_cast<Color32>((250 - x * 11) << 16 | (x * 3) << 8 | (row * 29) % 256);
        }
        Color32 target[20];
        std::fill(std::begin(target), std::end(target), 0x12345678u);
        gfx::MixRowByAlpha(target, under, over, 19);
        for (std::int32_t x = 0; x < 19; ++x) {
            EXPECT_EQ(target[x], gfx::BlendOver(over[x], under[x], 255)) << x << " in row " << row;
        }
        EXPECT_EQ(target[19], 0x12345678u);
    }
}

TEST(Bitmap32, StretchedDrawSamplesBetweenPixelCentres) {
    const TBitmap32 ramp = Pixels(2, 1, {Grey(0), Grey(255)});
    TBitmap32 wide(4, 1);
    ramp.DrawTo(wide, wide.BoundsRect());
    // Target centres fall at -0.25, 0.25, 0.75 and 1.25 source pixels; the ends clamp.
    EXPECT_EQ(wide, Pixels(4, 1, {Grey(0), Grey(63), Grey(191), Grey(255)}));

    // The same size is a copy; a part of the source can be stretched into a clipped rectangle.
    const TBitmap32 numbered = Numbered(5, 4);
    TBitmap32 same(5, 4, 0);
    numbered.DrawTo(same, same.BoundsRect());
    EXPECT_EQ(same, numbered);
    TBitmap32 part(3, 3, 0);
    Pixels(1, 1, {0xFF336699u}).DrawTo(part, {1, 1, 5, 5}, {0, 0, 1, 1});
    EXPECT_EQ(part, Pixels(3, 3, {0, 0, 0, 0, 0xFF336699u, 0xFF336699u, 0, 0xFF336699u, 0xFF336699u}));

    // Shrinking a flat picture keeps it flat, blended or not.
    TBitmap32 flat(9, 7, 0xFF808080u);
    TBitmap32 small(4, 3, 0xFF000000u);
    flat.SetDrawMode(gfx::DrawMode::Blend);
    flat.DrawTo(small, small.BoundsRect());
    EXPECT_EQ(small, TBitmap32(4, 3, 0xFF808080u));
}

TEST(CanvasCopy, StretchesWithTheNearestPixelAndLeavesTheRestAlone) {
    const TBitmap32 source = Numbered(2, 2);
    TBitmap32 canvas(5, 4, 0);
    gfx::CopyRectStretched(canvas.View(), {1, 0, 5, 4}, source.View(), source.BoundsRect());
    EXPECT_EQ(canvas.Pixel(1, 0), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(2, 1), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(3, 1), 0xFF000001u);
    EXPECT_EQ(canvas.Pixel(4, 3), 0xFF000011u);
    EXPECT_EQ(canvas.Pixel(0, 0), 0u);

    // Same size: a plain copy, clipped on both sides; a source outside the bitmap copies nothing.
    canvas.Clear(0);
    gfx::CopyRectStretched(canvas.View(), {-1, 3, 1, 5}, source.View(), {0, 0, 2, 2});
    EXPECT_EQ(canvas.Pixel(0, 3), 0xFF000001u);
    gfx::CopyRectStretched(canvas.View(), {0, 0, 2, 2}, source.View(), {5, 5, 7, 7});
    gfx::CopyRectStretched(canvas.View(), {2, 0, 0, 2}, source.View(), {0, 0, 2, 2});  // inverted: nothing
    canvas.SetPixel(0, 3, 0);
    EXPECT_EQ(canvas, TBitmap32(5, 4, 0));

    // Shrinking picks the pixel under each target centre: 0.5, 1.5 and 2.5 map to 1, 3 and 5.
    const TBitmap32 row = Numbered(6, 1);
    TBitmap32 three(3, 1, 0);
    gfx::CopyRectStretched(three.View(), three.BoundsRect(), row.View(), row.BoundsRect());
    EXPECT_EQ(three, Pixels(3, 1, {0xFF000001u, 0xFF000003u, 0xFF000005u}));
}

// Target pixel (i, j) of targetRect shows the source pixel under its centre, or stays when that lies
// outside the source: the canvas copy's rule, one pixel at a time.
TBitmap32 StretchedByHand(TBitmap32 canvas, const gfx::IntRect& t, const TBitmap32& source, const gfx::IntRect& s) {
    for (int j = 0; j < t.Height(); ++j) {
        for (int i = 0; i < t.Width(); ++i) {
            const auto x = static_cast<int>(s.left + (2 * std::int64_t{i} + 1) * s.Width() / (2 * std::int64_t{t.Width()}));
            const auto y = static_cast<int>(s.top + (2 * std::int64_t{j} + 1) * s.Height() / (2 * std::int64_t{t.Height()}));
            if (source.BoundsRect().Contains({x, y}) && canvas.BoundsRect().Contains({t.left + i, t.top + j})) {
                canvas.SetPixel(t.left + i, t.top + j, source.Pixel(x, y));
            }
        }
    }
    return canvas;
}

TEST(CanvasCopy, EveryScaleShowsThePixelUnderEachTargetCentre) {
    TBitmap32 source(1500, 40);
    for (int y = 0; y < source.Height(); ++y) {
        for (int x = 0; x < source.Width(); ++x) {
            source.SetPixel(x, y, 0xFF000000u | static_cast<Color32>(y) << 12 | static_cast<Color32>(x));
        }
    }
    const struct {
        gfx::IntRect target, source;
    } cases[] = {
        {{-7, 2, 1390, 37}, {0, 0, 1500, 40}},       // shrunk a little: long runs of columns, cut on the left
        {{3, 0, 1200, 40}, {100, 0, 1297, 40}},      // the same width, taller: rows copied
        {{0, 1, 1300, 39}, {700, 5, 701, 30}},       // one column stretched across
        {{0, 0, 1300, 25}, {0, 0, 500, 40}},         // grown: runs too short, pixel by pixel
        {{10, 3, 1290, 30}, {1400, 0, 1600, 40}},    // partly beyond the source's right edge
    };
    for (const auto& c : cases) {
        TBitmap32 canvas(1300, 40, 0xFF123456u);
        const TBitmap32 expected = StretchedByHand(canvas, c.target, source, c.source);
        gfx::CopyRectStretched(canvas.View(), c.target, source.View(), c.source);
        EXPECT_EQ(canvas, expected) << c.target.left << "," << c.target.right << " from " << c.source.left << ","
                                    << c.source.right;
    }
}

}  // namespace
