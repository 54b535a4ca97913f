// Effects 103-120 frame by frame: the zoom pieces' rectangles, the fades' frame counts and blend
// values, and the fade bands' ramps, clipping and one-pixel case. Blends are checked against
// t + (s - t) a / 255 rounded to nearest in every channel.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>

#include "gfx/Blit.h"
#include "tests/unit/TransitionPictures.h"

namespace {

using gfx::Color32;
using gfx::IntRect;
using gfx::TBitmap32;
using testing_support::FamilyRun;
using testing_support::SamePicture;

// Each colour channel of `under` moved toward `over` by a / 255, rounded; the alpha given.
Color32 Blended(Color32 under, Color32 over, int a, Color32 alpha = 255) {
    Color32 out = alpha << 24;
    for (const int shift : {0, 8, 16}) {
        const double t = (under >> shift) & 0xFF;
        const double s = (over >> shift) & 0xFF;
        out |= static_cast<Color32>(std::lround(t + (s - t) * a / 255)) << shift;
    }
    return out;
}

// The expected canvas with the new image scaled into each target rectangle, as the canvas copy does.
TBitmap32 Zoomed(TBitmap32 expected, const TBitmap32& fresh,
                 std::initializer_list<std::pair<IntRect, IntRect>> pieces) {
    for (const auto& [target, source] : pieces) {
        gfx::CopyRectStretched(expected.View(), target, fresh.View(), source);
    }
    return expected;
}

TEST(ZoomFadeGeometry, ZoomInGrowsFromTheCentreIntoThePicture) {
    // 33 x 21, N = 4: the edges move 4.125 and 2.625 a step from (16, 10); the last step ends at
    // (-0.5, -0.5, 32.5, 20.5), which rounds to (0, 0, 32, 20).
    FamilyRun run(103, 33, 21, 4);
    const IntRect whole{0, 0, 33, 21};
    TBitmap32 expected = run.Old();
    for (const IntRect& target :
         {IntRect{12, 7, 20, 13}, IntRect{8, 5, 24, 15}, IntRect{4, 2, 28, 18}, IntRect{0, 0, 32, 20}}) {
        expected = Zoomed(expected, run.New(), {{target, whole}});
        run.Frame();
        EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "target right " << target.right;
    }
    EXPECT_EQ(run.RunToEnd(), 4);
}

TEST(ZoomFadeGeometry, QuattroZoomGrowsEachQuarterFromItsOwnCentre) {
    // 20 x 12, N = 4: quarters 10 x 6 from (5, 3), (15, 3), (5, 9), (15, 9), edges moving 1.25 and
    // 0.75 a step.
    FamilyRun run(114, 20, 12, 4);
    TBitmap32 expected = Zoomed(run.Old(), run.New(),
                                {{{4, 2, 6, 4}, {0, 0, 10, 6}},
                                 {{14, 2, 16, 4}, {10, 0, 20, 6}},
                                 {{4, 8, 6, 10}, {0, 6, 10, 12}},
                                 {{14, 8, 16, 10}, {10, 6, 20, 12}}});
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), expected));
    EXPECT_EQ(run.RunToEnd(), 4);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(ZoomFadeGeometry, FadesRunTheMultiplesOfDBelow255) {
    // d = 765 div N: 3 at N = 200 (84 frames, v = 3 .. 252), 191 at N = 4 (one), 0 taken as 1 at
    // N = 800 (254); at N = 3 the first step is already 255: no frame.
    for (const int effect : {115, 116}) {
        EXPECT_EQ(FamilyRun(effect, 4, 3, 200).RunToEnd(), 84);
        EXPECT_EQ(FamilyRun(effect, 4, 3, 4).RunToEnd(), 1);
        EXPECT_EQ(FamilyRun(effect, 4, 3, 800).RunToEnd(), 254);
        EXPECT_FALSE(FamilyRun(effect, 4, 3, 3).HasFrames());
    }
}

TEST(ZoomFadeGeometry, CrossfadeBlendsTheNewImageOverTheOldAtAlphaV) {
    FamilyRun run(115, 9, 5, 4);  // v = 191
    run.Frame();
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 9; ++x) {
            ASSERT_EQ(run.Canvas().Pixel(x, y), Blended(run.Old().Pixel(x, y), run.New().Pixel(x, y), 191))
                << x << "," << y;
        }
    }
}

TEST(ZoomFadeGeometry, FadeToBlackDarkensTheOldPictureThenBringsUpTheNewOne) {
    // N = 200, d = 3: frame 42 (v = 126) shows the old picture at 255 - 252 = 3, frame 43 (v = 129)
    // the new one at 258 - 254 = 4, frame 84 (v = 252) at 250; each over transparent black.
    FamilyRun run(116, 9, 5, 200);
    const struct {
        int frame;
        bool fresh;
        int alpha;
    } checks[] = {{42, false, 3}, {43, true, 4}, {84, true, 250}};
    for (const auto& c : checks) {
        run.RunTo(c.frame);
        const TBitmap32& source = c.fresh ? run.New() : run.Old();
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 9; ++x) {
                ASSERT_EQ(run.Canvas().Pixel(x, y),
                          Blended(0, source.Pixel(x, y), c.alpha, static_cast<Color32>(c.alpha)))
                    << x << "," << y << " in frame " << c.frame;
            }
        }
    }
}

TEST(ZoomFadeGeometry, FadeUnfoldBandsRampAheadOfTheFold) {
    // 40 x 3, N = 4: the fold is 10 wide; the band, Ceil(4.0) = 4 wide, starts just right of it, its
    // alpha falling 255, 170, 85, 0 across it. Each frame's fold covers the band of the frame before.
    FamilyRun run(117, 40, 3, 4);
    const int ramp[] = {255, 170, 85, 0};
    for (int k = 1; k <= 3; ++k) {
        run.Frame();
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 40; ++x) {
                const Color32 o = run.Old().Pixel(x, y);
                const Color32 n = run.New().Pixel(x, y);
                const int band = x - 10 * k;
                const Color32 expected = band < 0 ? n : band < 4 ? Blended(o, n, ramp[band]) : o;
                ASSERT_EQ(run.Canvas().Pixel(x, y), expected) << x << "," << y << " in frame " << k;
            }
        }
    }
    EXPECT_EQ(run.RunToEnd(), 4);
}

TEST(ZoomFadeGeometry, AClippedBandShowsOnlyTheStartOfItsRamp) {
    // 40 x 1, N = 16: the fold is 3 wide and steps 2.5; the band is 4 wide. "From Left" in frame 15:
    // the band at 38 keeps columns 38 and 39, which take the ramp's first two alphas, 255 and 170.
    FamilyRun left(117, 40, 1, 16);
    left.RunTo(15);
    const TBitmap32& o = left.Old();
    const TBitmap32& n = left.New();
    EXPECT_EQ(left.Canvas().Pixel(38, 0), Blended(o.Pixel(38, 0), n.Pixel(38, 0), 255));
    EXPECT_EQ(left.Canvas().Pixel(39, 0), Blended(o.Pixel(39, 0), n.Pixel(39, 0), 170));

    // "From Right" in frame 15: the band at -2 keeps columns 0 and 1, drawn from the buffer's own first
    // columns, so they too take the ramp's start, which rises: 0 and 85.
    FamilyRun right(118, 40, 1, 16);
    right.RunTo(15);
    EXPECT_EQ(right.Canvas().Pixel(0, 0), Blended(o.Pixel(0, 0), n.Pixel(0, 0), 0));
    EXPECT_EQ(right.Canvas().Pixel(1, 0), Blended(o.Pixel(1, 0), n.Pixel(1, 0), 85));
    EXPECT_EQ(right.Canvas().Pixel(2, 0), n.Pixel(2, 0));  // the fold, [2, 5)
}

TEST(ZoomFadeGeometry, ABandOnePixelWideIsFullyOpaque) {
    // 8 x 2: the band is Ceil(0.8) = 1 wide; its ramp would divide by zero and is 255 instead.
    FamilyRun run(117, 8, 2, 4);
    run.Frame();
    TBitmap32 expected = run.Old();
    expected.CopyRect({0, 0}, run.New(), {0, 0, 3, 2});
    EXPECT_TRUE(SamePicture(run.Canvas(), expected));

    // The band from below rises down its buffer: 40 x 20, N = 4, band rows 13 and 14 above the fold at
    // 15 .. 19, alphas 0 and 255.
    FamilyRun up(120, 40, 20, 4);
    up.Frame();
    EXPECT_EQ(up.Canvas().Pixel(7, 12), up.Old().Pixel(7, 12));
    EXPECT_EQ(up.Canvas().Pixel(7, 13), Blended(up.Old().Pixel(7, 13), up.New().Pixel(7, 13), 0));
    EXPECT_EQ(up.Canvas().Pixel(7, 14), Blended(up.Old().Pixel(7, 14), up.New().Pixel(7, 14), 255));
    EXPECT_EQ(up.Canvas().Pixel(7, 15), up.New().Pixel(7, 15));
    EXPECT_EQ(up.RunToEnd(), 5);
}

}  // namespace
