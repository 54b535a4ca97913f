// Effects 65-76 frame by frame: the line drops' fold and stretched line, the boxes, and the ellipses'
// regions in both phases. Expected pictures are built from literal rectangles and shapes.

#include <gtest/gtest.h>

#include "gfx/Region.h"
#include "tests/unit/TransitionPictures.h"

namespace {

using gfx::IntRect;
using gfx::TBitmap32;
using gfx::TRegion;
using testing_support::FamilyRun;
using testing_support::InPlace;
using testing_support::SamePicture;

// Columns [from, to) of picture all showing column `column` of source (or rows, for a row).
void StretchColumn(TBitmap32& picture, const TBitmap32& source, int column, int from, int to) {
    for (int x = from; x < to; ++x) {
        picture.CopyRect({x, 0}, source, {column, 0, column + 1, source.Height()});
    }
}
void StretchRow(TBitmap32& picture, const TBitmap32& source, int row, int from, int to) {
    for (int y = from; y < to; ++y) {
        picture.CopyRect({0, y}, source, {0, row, source.Width(), row + 1});
    }
}

TEST(DropBoxEllipseGeometry, LineDropFromRightStretchesTheColumnAtTheFoldsNextPlace) {
    // The fold is 6 wide at x = 0, 5.25, 10.5; after each step the column at Round(5.25) = 5,
    // Round(10.5) = 10 and Round(15.75) = 16 covers the rest. The fourth step is not drawn.
    FamilyRun run(65, 21, 11, 4);
    TBitmap32 expected = run.Old();
    const int folds[][2] = {{0, 6}, {5, 11}, {10, 16}};
    const int columns[] = {5, 10, 16};
    for (int k = 0; k < 3; ++k) {
        expected.CopyRect({folds[k][0], 0}, run.New(), {folds[k][0], 0, folds[k][1], 11});
        StretchColumn(expected, run.New(), columns[k], columns[k], 21);
        run.Frame();
        EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "frame " << k + 1;
    }
    EXPECT_EQ(run.RunToEnd(), 3);
}

TEST(DropBoxEllipseGeometry, LineDropFromUpStretchesTheRowAboveTheFold) {
    // The fold rises 3 rows a step from the bottom; the row it reaches next covers everything above.
    FamilyRun run(68, 20, 12, 4);
    TBitmap32 expected = run.Old();
    for (int k = 1; k <= 3; ++k) {
        const int top = 12 - 3 * k;
        expected.CopyRect({0, top}, run.New(), {0, top, 20, top + 3});
        StretchRow(expected, run.New(), top, 0, top);
        run.Frame();
        EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "frame " << k;
    }
    EXPECT_EQ(run.RunToEnd(), 3);
    // One frame would be the fold's only, undrawn, step: no frame at all.
    EXPECT_FALSE(FamilyRun(68, 20, 12, 1).HasFrames());
}

TEST(DropBoxEllipseGeometry, BoxOutGrowsByWDivNAndLeavesTheEdgesToTheFinalFrame) {
    // 33 x 21, N = 4: d = 8, half-heights Round(8 * 21 / 33) = 5 and Round(16 * 21 / 33) = 10.
    FamilyRun run(69, 33, 21, 4);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({8, 5, 24, 15})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 32, 20})}));
    EXPECT_EQ(run.RunToEnd(), 2);

    // Narrower than N: one pixel a frame, W div 2 frames.
    FamilyRun narrow(69, 9, 5, 32);
    EXPECT_TRUE(narrow.NextFrameCopies({InPlace({3, 1, 5, 3})}));
    EXPECT_TRUE(narrow.NextFrameCopies({InPlace({2, 1, 6, 3})}));
    EXPECT_TRUE(narrow.NextFrameCopies({InPlace({1, 0, 7, 4})}));
    EXPECT_TRUE(narrow.NextFrameCopies({InPlace({0, 0, 8, 4})}));
    EXPECT_EQ(narrow.RunToEnd(), 4);
    EXPECT_FALSE(FamilyRun(69, 1, 5, 4).HasFrames());
}

TEST(DropBoxEllipseGeometry, BoxInShowsTheNewImageAroundAShrinkingBoxOfTheOldPicture) {
    FamilyRun run(70, 33, 21, 4);
    TBitmap32 expected = run.New();
    expected.CopyRect({0, 0}, run.Old(), {0, 0, 32, 20});
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), expected));
    expected = run.New();
    expected.CopyRect({8, 5}, run.Old(), {8, 5, 24, 15});
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), expected));
    EXPECT_EQ(run.RunToEnd(), 2);  // the box has reached zero width
}

// The canvas after the regions so far: the old picture with the new image through each of them.
void Reveal(TBitmap32& expected, const TBitmap32& fresh, const TRegion& region) {
    gfx::CopyRegion(expected, fresh, region);
}

TEST(DropBoxEllipseGeometry, EllipseFromLeftWidensHalfAnEllipseThenFlattensItsCorners) {
    // 20 x 10, N = 4: cw = 5. Phase one while 5 r <= 20: half an ellipse centred on the left edge,
    // corners (20, 10) clamped to the box. Then the corners flatten: at r = 5 they are
    // (20 - Ceil(1.4 * 10), 10 - Ceil(1.4 * 5)) = (6, 3), at r = 6 nothing. It ends after r = 7.
    FamilyRun run(73, 20, 10, 4);
    TBitmap32 expected = run.Old();
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "r = 0 builds no region";
    for (int r = 1; r <= 4; ++r) {
        Reveal(expected, run.New(), TRegion::RoundRect({-5 * r, 0, 5 * r, 11}, 20, 10));
        run.Frame();
        EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "r = " << r;
    }
    Reveal(expected, run.New(), TRegion::RoundRect({-20, 0, 20, 11}, 6, 3));
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "r = 5";
    EXPECT_FALSE(SamePicture(run.Canvas(), run.New())) << "the corners of r = 5 are still old";
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New())) << "r = 6";
    EXPECT_EQ(run.RunToEnd(), 8);
}

TEST(DropBoxEllipseGeometry, EllipseFromBottomChangesPhaseByTheHorizontalStep) {
    // 21 x 20, N = 4: cw = 6, ch = 5. The half ellipse rises 5 rows a step, but the second phase starts
    // when 6 r passes 21, at r = 4, while the rows alone would wait for r = 5. Its corners are then
    // (21 - Ceil(0.4 * 5.25 * 2), 20 - Ceil(0.4 * 5 * 2)) = (16, 16).
    FamilyRun run(76, 21, 20, 4);
    TBitmap32 expected = run.Old();
    run.Frame();
    for (int r = 1; r <= 3; ++r) {
        Reveal(expected, run.New(), TRegion::RoundRect({0, 20 - 5 * r, 22, 20 + 5 * r}, 21, 20));
        run.Frame();
        EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "r = " << r;
    }
    TBitmap32 firstPhase = expected;
    Reveal(expected, run.New(), TRegion::RoundRect({0, 0, 22, 40}, 16, 16));
    Reveal(firstPhase, run.New(), TRegion::RoundRect({0, 0, 22, 40}, 21, 20));
    run.Frame();
    EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "r = 4";
    EXPECT_FALSE(SamePicture(run.Canvas(), firstPhase));
    EXPECT_EQ(run.RunToEnd(), 8);  // r = 0 .. 7, the first r above 1.5 N
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(DropBoxEllipseGeometry, EllipseOutAndInTakeFourFramesAtNFour) {
    // "Ellipse Out" ends after the frame with r = 3 > 2.67.
    FamilyRun out(71, 20, 10, 4);
    TBitmap32 expected = out.Old();
    out.Frame();
    for (int r = 1; r <= 3; ++r) {
        Reveal(expected, out.New(), TRegion::RoundRect({10 - 5 * r, 5 - 3 * r, 10 + 5 * r, 5 + 3 * r}, 20, 10));
        out.Frame();
        EXPECT_TRUE(SamePicture(out.Canvas(), expected)) << "r = " << r;
    }
    EXPECT_EQ(out.RunToEnd(), 4);

    // "Ellipse In": the new image outside an ellipse of s = Round(2.67 - r) = 3, 2, 1, 0 steps.
    FamilyRun in(72, 20, 10, 4);
    expected = in.Old();
    const TRegion picture = TRegion::Rect({0, 0, 20, 10});
    for (int s = 3; s >= 0; --s) {
        const TRegion ellipse = TRegion::RoundRect({10 - 5 * s, 5 - 3 * s, 10 + 5 * s, 5 + 3 * s}, 20, 10);
        Reveal(expected, in.New(), TRegion::Combine(picture, ellipse, gfx::CombineMode::Diff));
        in.Frame();
        EXPECT_TRUE(SamePicture(in.Canvas(), expected)) << "s = " << s;
    }
    EXPECT_TRUE(SamePicture(in.Canvas(), in.New()));
    EXPECT_EQ(in.RunToEnd(), 4);
}

}  // namespace
