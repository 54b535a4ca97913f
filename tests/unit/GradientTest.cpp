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

TEST(Gradient, MirroredRowsRunFromTheEdgesToTheMiddle) {
    const TBitmap32 b = Painted(3, 600, 5);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(b.Pixel(x, 0), Step(kBlue, kOrange, 0, 300));
        EXPECT_EQ(b.Pixel(x, 599), Step(kBlue, kOrange, 0, 300));
        EXPECT_EQ(b.Pixel(x, 299), Step(kBlue, kOrange, 300, 300));
        EXPECT_EQ(b.Pixel(x, 300), Step(kBlue, kOrange, 300, 300));
        EXPECT_EQ(b.Pixel(x, 100), Step(kBlue, kOrange, 100, 300));
        EXPECT_EQ(b.Pixel(x, 499), Step(kBlue, kOrange, 100, 300));
    }
    const TBitmap32 columns = Painted(11, 2, 6);
    EXPECT_EQ(columns.Pixel(0, 1), Step(kBlue, kOrange, 0, 5));
    EXPECT_EQ(columns.Pixel(9, 0), Step(kBlue, kOrange, 1, 5));
    EXPECT_EQ(columns.Pixel(5, 0), Step(kBlue, kOrange, 5, 5)) << "the middle column of an odd width";
}

TEST(Gradient, BandsOfASmallExtentSkipSteps) {
    // Black to white: step i of 255 is grey i, so a row's grey names its band.
    const TBitmap32 b = Painted(2, 100, 1, 0x000000, 0xFFFFFF);
    EXPECT_EQ(b.Pixel(0, 0), gfx::MakeColor32(1, 1, 1)) << "band 0 ends where it starts; band 1 covers row 0";
    EXPECT_EQ(b.Pixel(1, 1), gfx::MakeColor32(3, 3, 3)) << "row 1 is band 3: MulDiv(3, 100, 256) = 1";
    EXPECT_EQ(b.Pixel(0, 99), gfx::MakeColor32(254, 254, 254)) << "band 255 covers no row";
    const TBitmap32 columns = Painted(100, 2, 2, 0x000000, 0xFFFFFF);
    EXPECT_EQ(columns.Pixel(99, 1), gfx::MakeColor32(254, 254, 254));
    EXPECT_EQ(Painted(40, 9, 0), Painted(40, 9, 2)) << "style 0 paints as 2";
}

TEST(Gradient, RectanglesAndEllipsesCloseInStepByStep) {
    // 510 wide: the rectangles move in by exactly one pixel a step, so (k, k) lies on rectangle k.
    const TBitmap32 rects = Painted(510, 510, 4);
    for (const int k : {0, 1, 100, 254}) {
        EXPECT_EQ(rects.Pixel(k, k), Step(kBlue, kOrange, k, 255)) << k;
        EXPECT_EQ(rects.Pixel(509 - k, 255), Step(kBlue, kOrange, k, 255)) << k;
    }
    // 620 wide: the ellipses start 155 pixels outside and move in by 3 a step; on the middle row
    // ellipse i reaches from 3i - 152, so the left edge lies on ellipse 50 and the next pixel on 51.
    const TBitmap32 ellipses = Painted(620, 620, 3);
    EXPECT_EQ(ellipses.Pixel(0, 312), Step(kBlue, kOrange, 50, 155));
    EXPECT_EQ(ellipses.Pixel(1, 312), Step(kBlue, kOrange, 51, 155));
    EXPECT_EQ(ellipses.Pixel(4, 312), Step(kBlue, kOrange, 52, 155));
}

TEST(Gradient, PinwheelAndDiagonalTurnTheirFiguresRoundThePicture) {
    // 510 square: x_i = y_i = 2i for the pinwheel, i for the diagonal.
    const TBitmap32 pinwheel = Painted(510, 510, 7);
    EXPECT_EQ(pinwheel.Pixel(0, 101), Step(kBlue, kOrange, 50, 255)) << "left edge, triangle 50";
    EXPECT_EQ(pinwheel.Pixel(101, 0), Step(kBlue, kOrange, 50, 255)) << "top edge, triangle 50";
    EXPECT_EQ(pinwheel.Pixel(0, 1), Step(kBlue, kOrange, 0, 255));
    const TBitmap32 diagonal = Painted(510, 510, 8);
    // Quadrilateral k has its corners at (k, k) and (510 - k, 510 - k); the last one is empty.
    for (const int k : {1, 100, 200, 254}) {
        EXPECT_EQ(diagonal.Pixel(k, k + 1), Step(kBlue, kOrange, k, 255)) << k;
        EXPECT_EQ(diagonal.Pixel(509 - k, 510 - k), Step(kBlue, kOrange, k, 255)) << k;
    }
    EXPECT_EQ(diagonal.Pixel(0, 1), Step(kBlue, kOrange, 0, 255));
}

TEST(Gradient, EqualColoursPaintOnePlainColourAtAnySize) {
    const Color32 plain = gfx::MakeColor32(0x11, 0x22, 0x33);
    for (int style = 0; style <= 8; ++style) {
        for (const auto& [w, h] : {std::pair{37, 23}, std::pair{1, 1}, std::pair{2, 1}}) {
            const TBitmap32 b = Painted(w, h, style, 0x332211, 0x332211);
            EXPECT_EQ(b, TBitmap32(w, h, plain)) << "style " << style << " at " << w << "x" << h;
        }
    }
    // A gradient of no steps (a single row of mirrored rows) is its first colour, not one less.
    EXPECT_EQ(Painted(4, 1, 5, 0x000000, 0xFFFFFF), TBitmap32(4, 1, gfx::kOpaqueBlack));
}

TEST(AnchorPlace, CornersEdgesAndCentre) {
    const gfx::IntSize logo{100, 50};
    const gfx::IntSize frame{800, 600};
    EXPECT_EQ(show::AnchorPlace(0, logo, frame, 10, 20), (gfx::IntPoint{10, 20}));
    EXPECT_EQ(show::AnchorPlace(1, logo, frame, 10, 20), (gfx::IntPoint{690, 20}));
    EXPECT_EQ(show::AnchorPlace(2, logo, frame, 10, 20), (gfx::IntPoint{360, 20}));
    EXPECT_EQ(show::AnchorPlace(3, logo, frame, 10, 20), (gfx::IntPoint{10, 530}));
    EXPECT_EQ(show::AnchorPlace(4, logo, frame, 10, 10), (gfx::IntPoint{690, 540}));
    EXPECT_EQ(show::AnchorPlace(5, logo, frame, 10, 20), (gfx::IntPoint{360, 530}));
    EXPECT_EQ(show::AnchorPlace(6, logo, frame, 10, 20), (gfx::IntPoint{360, 295}));
    EXPECT_EQ(show::AnchorPlace(99, logo, frame, 0, 0), (gfx::IntPoint{350, 275}));
    EXPECT_EQ(show::AnchorPlace(-1, logo, frame, 0, 0), (gfx::IntPoint{350, 275})) << "negative codes count as large";
    EXPECT_EQ(show::AnchorPlace(6, {901, 603}, frame, 0, 0), (gfx::IntPoint{-50, -1})) << "halves truncate toward 0";
}

}  // namespace
