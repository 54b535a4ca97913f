// Effects 77-95 frame by frame: what each frame's triangles add to the picture, from literal vertices.

#include <gtest/gtest.h>

#include <initializer_list>

#include "gfx/Region.h"
#include "tests/unit/TransitionPictures.h"

namespace {

using gfx::IntPoint;
using gfx::TBitmap32;
using gfx::TRegion;
using testing_support::FamilyRun;
using testing_support::SamePicture;

TRegion Triangle(IntPoint a, IntPoint b, IntPoint c) {
    const IntPoint points[] = {a, b, c};
    return TRegion::Polygon(points);
}

// Adds the new image through the triangles to the expected picture.
void Reveal(TBitmap32& expected, const TBitmap32& fresh, std::initializer_list<TRegion> triangles) {
    for (const TRegion& t : triangles) {
        gfx::CopyRegion(expected, fresh, t);
    }
}

TEST(ShapeGeometry, TheFirstFrameIsDegenerateAndTheLastCoversThePicture) {
    for (int effect = 77; effect <= 95; ++effect) {
        FamilyRun run(effect, 24, 16, 8);
        run.Frame();
        EXPECT_TRUE(SamePicture(run.Canvas(), run.Old())) << "effect " << effect;
        EXPECT_EQ(run.RunToEnd(), effect == 87 ? 4 + 2 : 9) << "effect " << effect;  // N + 1; "Triangles" M + 2
        if (effect != 85) {  // the star turns by whole radians and need not pass every pixel
            EXPECT_TRUE(SamePicture(run.Canvas(), run.New())) << "effect " << effect;
        }
    }
}

TEST(ShapeGeometry, AQuarterClockFillsTheHalfPictureInTheFrameItTurnsTheCorner) {
    // "Quarter Clock To Bottom Right", 16 x 8, N = 8: the free end travels t = 3 i. Along the top edge
    // while t <= 16 (i <= 5); at i = 6 it passes the corner and the frame fills the triangle up to it;
    // then it runs down the right edge Ceil(3 i - 16) rows.
    FamilyRun run(88, 16, 8, 8);
    run.RunTo(6);
    TBitmap32 expected = run.Old();
    Reveal(expected, run.New(), {Triangle({0, 0}, {0, 8}, {15, 0})});
    EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "i = 5";
    run.Frame();
    Reveal(expected, run.New(), {Triangle({0, 0}, {0, 8}, {16, 0})});
    EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "i = 6";
    run.Frame();
    Reveal(expected, run.New(), {Triangle({16, 0}, {0, 8}, {16, 5})});
    EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "i = 7";
    EXPECT_EQ(run.RunToEnd(), 9);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));

    // On a square picture the hand reaches the top-right corner at i = N / 2 and the bottom-right one
    // at i = N: 12 x 12, N = 8, t = 3 i.
    FamilyRun square(88, 12, 12, 8);
    square.RunTo(5);
    expected = square.Old();
    Reveal(expected, square.New(), {Triangle({0, 0}, {0, 12}, {12, 0})});
    EXPECT_TRUE(SamePicture(square.Canvas(), expected)) << "i = 4";
    square.RunTo(8);
    Reveal(expected, square.New(), {Triangle({12, 0}, {0, 12}, {12, 9})});
    EXPECT_TRUE(SamePicture(square.Canvas(), expected)) << "i = 7";
}

TEST(ShapeGeometry, TrianglesWithNFourGrowTheGridTwiceAndEndWithLegsOfNPlusOne) {
    // 24 x 12, N = 4: M = 2, grid corners every 4 columns and 2 rows. i = 1: legs Ceil(24 / 2 / 3) = 4
    // and Ceil(12 / 2 / 3) = 2; i = 2 covers every cell; i = 3 is drawn as i = 5, and ends the effect.
    FamilyRun run(87, 24, 12, 4);
    run.RunTo(2);
    TBitmap32 expected = run.Old();
    for (int j = 0; j <= 6; ++j) {
        for (int k = 0; k <= 6; ++k) {
            Reveal(expected, run.New(), {Triangle({4 * j, 2 * k}, {4 * j, 2 * k + 2}, {4 * j + 4, 2 * k})});
        }
    }
    EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "i = 1";
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New())) << "i = 2";
    EXPECT_EQ(run.RunToEnd(), 4);
}

TEST(ShapeGeometry, ChaosStarTurnsATriangleByOneRadianAFrame) {
    // 40 x 30, N = 4, hw = 20, hh = 15. i = 1: (Round(cos 1 * 7.5) + 20, Round(sin 1 * 10) + 20) =
    // (24, 28) and (Round(-sin 1 * 7.5) + 20, Round(cos 1 * 10) + 20) = (14, 25). i = 2: (14, 38), (6, 12).
    FamilyRun run(85, 40, 30, 4);
    run.RunTo(3);
    TBitmap32 expected = run.Old();
    Reveal(expected, run.New(), {Triangle({20, 15}, {24, 28}, {14, 25}), Triangle({20, 15}, {14, 38}, {6, 12})});
    EXPECT_TRUE(SamePicture(run.Canvas(), expected));
}

}  // namespace
