// The background gradient's figures at sizes where each pixel's colour follows from the geometry,
// the system's MulDiv rounding, and the anchor codes of the logo and the captions.

#include <gtest/gtest.h>

#include <cmath>

#include "slideshow/AnchorPlace.h"
#include "slideshow/Gradient.h"

namespace {

using gfx::Color32;
using gfx::TBitmap32;

constexpr gfx::TColor kBlue = 0x00FF0000;      // 0x00BBGGRR
constexpr gfx::TColor kOrange = 0x000080FF;

// Step i of n worked out by hand: every channel moves by round(i * (c2 - c1) / n), halves away
// from zero.
Color32 Step(gfx::TColor c1, gfx::TColor c2, int i, int n) {
    auto channel = [&](int shift) {
        const int a = (c1 >> shift) & 0xFF;
        const int b = (c2 >> shift) & 0xFF;
        const double moved = static_cast<double>(i) * (b - a) / n;
        return static_cast<std::uint8_t>(a + static_cast<int>(std::round(moved)));
    };
    return gfx::MakeColor32(channel(0), channel(8), channel(16));
}

TBitmap32 Painted(int w, int h, int style, gfx::TColor c1 = kBlue, gfx::TColor c2 = kOrange) {
    TBitmap32 b(w, h, 0);
    show::PaintGradient(b, style, c1, c2);
    return b;
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndGivesMinusOneForNoDivisor) {
    EXPECT_EQ(show::MulDiv(1, 5, 2), 3);
    EXPECT_EQ(show::MulDiv(-1, 5, 2), -3);
    EXPECT_EQ(show::MulDiv(1, 5, -2), -3);
    EXPECT_EQ(show::MulDiv(254, 100, 256), 99);
    EXPECT_EQ(show::MulDiv(255, 100, 256), 100);
    EXPECT_EQ(show::MulDiv(1 << 20, 1 << 20, 1 << 10), 1 << 30) << "the product is taken in 64 bits";
    EXPECT_EQ(show::MulDiv(7, 3, 0), -1);
    EXPECT_EQ(show::MulDiv(1 << 30, 8, 1), -1) << "a result beyond 32 bits";
}

TEST(Gradient, MirroredLinesAndBandsMeetTheWorkedExamples) {
    const TBitmap32 rows = Painted(1, 600, 5);
    EXPECT_EQ(rows.Pixel(0, 0), Step(kBlue, kOrange, 0, 300));
    EXPECT_EQ(rows.Pixel(0, 599), Step(kBlue, kOrange, 0, 300));
    EXPECT_EQ(rows.Pixel(0, 299), Step(kBlue, kOrange, 300, 300));
    EXPECT_EQ(rows.Pixel(0, 300), Step(kBlue, kOrange, 300, 300));
    EXPECT_EQ(rows.Pixel(0, 499), Step(kBlue, kOrange, 100, 300));
    EXPECT_EQ(Painted(11, 1, 6).Pixel(5, 0), Step(kBlue, kOrange, 5, 5)) << "the middle column of an odd width";

    // Black to white: step i of 255 is grey i, so a line's grey names its band.
    const TBitmap32 bands = Painted(1, 100, 1, 0x000000, 0xFFFFFF);
    EXPECT_EQ(bands.Pixel(0, 0), gfx::MakeColor32(1, 1, 1)) << "band 0 ends where it starts";
    EXPECT_EQ(bands.Pixel(0, 99), gfx::MakeColor32(254, 254, 254)) << "band 255 covers no row";
    const TBitmap32 columns = Painted(100, 1, 2, 0x000000, 0xFFFFFF);
    EXPECT_EQ(columns.Pixel(99, 0), gfx::MakeColor32(254, 254, 254));
    EXPECT_EQ(Painted(100, 1, 0, 0x000000, 0xFFFFFF), columns) << "style 0 paints as 2";
}

TEST(Gradient, ShapesCloseInStepByStep) {
    // 510 square: the rectangles move in by one pixel a step, so (k, k) lies on rectangle k; the
    // pinwheel's triangles meet the edges every 2 pixels; the diagonal's corners move by 1.
    const TBitmap32 rects = Painted(510, 510, 4);
    const TBitmap32 pinwheel = Painted(510, 510, 7);
    const TBitmap32 diagonal = Painted(510, 510, 8);
    for (const int k : {1, 100, 200}) {
        EXPECT_EQ(rects.Pixel(k, k), Step(kBlue, kOrange, k, 255)) << k;
        EXPECT_EQ(rects.Pixel(509 - k, 255), Step(kBlue, kOrange, k, 255)) << k;
        EXPECT_EQ(pinwheel.Pixel(0, 2 * k + 1), Step(kBlue, kOrange, k, 255)) << "left edge " << k;
        EXPECT_EQ(pinwheel.Pixel(2 * k + 1, 0), Step(kBlue, kOrange, k, 255)) << "top edge " << k;
        EXPECT_EQ(diagonal.Pixel(k, k + 1), Step(kBlue, kOrange, k, 255)) << k;
        EXPECT_EQ(diagonal.Pixel(509 - k, 510 - k), Step(kBlue, kOrange, k, 255)) << k;
    }
    // 620 square: the ellipses start 155 pixels outside and move in by 3 a step; on the middle row
    // ellipse i reaches from 3i - 152, so the left edge lies on ellipse 50 and the next pixel on 51.
    const TBitmap32 ellipses = Painted(620, 620, 3);
    EXPECT_EQ(ellipses.Pixel(0, 312), Step(kBlue, kOrange, 50, 155));
    EXPECT_EQ(ellipses.Pixel(1, 312), Step(kBlue, kOrange, 51, 155));
}

TEST(Gradient, EqualColoursPaintOnePlainColourAtAnySize) {
    for (int style = 0; style <= 8; ++style) {
        for (const auto& [w, h] : {std::pair{37, 23}, std::pair{1, 1}}) {
            EXPECT_EQ(Painted(w, h, style, 0x332211, 0x332211), TBitmap32(w, h, gfx::MakeColor32(0x11, 0x22, 0x33)))
                << "style " << style << " at " << w << "x" << h;
        }
    }
    // A gradient of no steps (one row of mirrored rows) is its first colour, not one less.
    EXPECT_EQ(Painted(4, 1, 5, 0x000000, 0xFFFFFF), TBitmap32(4, 1, gfx::kOpaqueBlack));
}

TEST(AnchorPlace, CornersEdgesAndCentre) {
    const gfx::IntSize logo{100, 50};
    const gfx::IntSize frame{800, 600};
    const gfx::IntPoint expected[] = {{10, 20}, {690, 20}, {360, 20}, {10, 530}, {690, 530}, {360, 530}, {360, 295}};
    for (int code = 0; code <= 6; ++code) {
        EXPECT_EQ(show::AnchorPlace(code, logo, frame, 10, 20), expected[code]) << code;
    }
    EXPECT_EQ(show::AnchorPlace(4, logo, frame, 10, 10), (gfx::IntPoint{690, 540}));
    EXPECT_EQ(show::AnchorPlace(-1, logo, frame, 0, 0), (gfx::IntPoint{350, 275})) << "negative codes count as large";
    EXPECT_EQ(show::AnchorPlace(6, {901, 603}, frame, 0, 0), (gfx::IntPoint{-50, -1})) << "halves truncate toward 0";
}

}  // namespace
