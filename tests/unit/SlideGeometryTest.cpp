// Effects 1-22 frame by frame: each frame's copies are the rectangles that the variant's pieces
// define, and nothing else on the canvas changes. N = 4 throughout, on odd (21 x 11) and even
// (20 x 10) pictures.

#include <gtest/gtest.h>

#include "tests/unit/TransitionPictures.h"

namespace {

using testing_support::FamilyRun;
using testing_support::kNew;
using testing_support::kOld;
using testing_support::SamePicture;

TEST(SlideGeometry, SlideFromLeftCutsTheFarEndWhileItsOffsetIsNegative) {
    // x = -21 + k * 5.25; the right edge Round(21 + x) grows 5, 10, 16 (15.75), 21.
    FamilyRun run(5, 21, 11, 4);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {16, 0, 21, 11}, {0, 0}}}));
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {11, 0, 21, 11}, {0, 0}}}));
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {5, 0, 21, 11}, {0, 0}}}));
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {0, 0, 21, 11}, {0, 0}}}));
    EXPECT_EQ(run.RunToEnd(), 4);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(SlideGeometry, SlideFromBottomRightCutsTheNearEndWhileItsOffsetIsPositive) {
    // Offsets (15, 7.5) then (5, 2.5): the top edge rounds 7.5 to 8 and 2.5 to 2, ties to even.
    FamilyRun run(3, 20, 10, 4);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {0, 0, 5, 2}, {15, 8}}}));
    run.RunTo(2);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {0, 0, 15, 8}, {5, 2}}}));
}

TEST(SlideGeometry, DoorCloseOnAnOddWidthGivesTheRightHalfItsExtraPixel) {
    // hw = 10; the right door ends at offset -0.5, and Round(20.5) = 20 leaves column 20 as it was.
    FamilyRun run(9, 21, 11, 4);
    run.RunTo(3);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {0, 0, 10, 11}, {0, 0}}, {kNew, {11, 0, 21, 11}, {10, 0}}}));
    EXPECT_EQ(run.Canvas().Pixel(20, 5), run.New().Pixel(18, 5)) << "left there by frame 3";
}

TEST(SlideGeometry, DoorOpenMovesTheOldHalvesOutAndTheFoldsRevealTheNewImage) {
    // The old halves start Round(2.625) = 3 out of place and move 2.625 a frame; fold 1 starts at
    // hw - 1 going right, fold 2 at hw + 1 going left and one step longer.
    FamilyRun run(10, 21, 11, 4);
    EXPECT_TRUE(run.NextFrameCopies({{kOld, {0, 0, 10, 11}, {0, 0}},
                                     {kOld, {10, 0, 21, 11}, {10, 0}},
                                     {kNew, {9, 0, 12, 11}, {9, 0}},
                                     {kNew, {8, 0, 11, 11}, {8, 0}}}));
    EXPECT_TRUE(run.NextFrameCopies({{kOld, {2, 0, 10, 11}, {0, 0}},
                                     {kOld, {10, 0, 19, 11}, {12, 0}},
                                     {kNew, {12, 0, 15, 11}, {12, 0}},
                                     {kNew, {5, 0, 8, 11}, {5, 0}}}));
    EXPECT_TRUE(run.NextFrameCopies({{kOld, {5, 0, 10, 11}, {0, 0}},
                                     {kOld, {10, 0, 16, 11}, {15, 0}},
                                     {kNew, {14, 0, 17, 11}, {14, 0}},
                                     {kNew, {3, 0, 6, 11}, {3, 0}}}));
    EXPECT_TRUE(run.NextFrameCopies({{kOld, {8, 0, 10, 11}, {0, 0}},
                                     {kOld, {10, 0, 13, 11}, {18, 0}},
                                     {kNew, {17, 0, 20, 11}, {17, 0}},
                                     {kNew, {0, 0, 3, 11}, {0, 0}}}));
    // Fold 2's extra step shows nothing; the finished pieces are copied again.
    EXPECT_TRUE(run.NextFrameCopies({{kOld, {8, 0, 10, 11}, {0, 0}},
                                     {kOld, {10, 0, 13, 11}, {18, 0}},
                                     {kNew, {17, 0, 20, 11}, {17, 0}}}));
    EXPECT_EQ(run.RunToEnd(), 5);
}

TEST(SlideGeometry, IrisCloseBringsEachQuarterFromItsOwnSide) {
    FamilyRun run(12, 20, 10, 4);
    run.RunTo(1);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {5, 0, 10, 5}, {0, 0}},
                                     {kNew, {10, 3, 20, 5}, {10, 0}},
                                     {kNew, {0, 5, 10, 7}, {0, 8}},
                                     {kNew, {10, 5, 15, 10}, {15, 5}}}));
}

TEST(SlideGeometry, FallingColumnsWaitAboveThePictureAndArriveInTurn) {
    // Column k starts at Round(7.5 (k - 1) - 10 k) and runs 4 + (k - 1) steps. In frame 1 only the
    // first column shows; the second is at its region's edge (an empty copy), the rest not yet in.
    FamilyRun run(14, 20, 10, 4);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {0, 8, 2, 10}, {0, 0}}}));
    run.RunTo(5);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {0, 0, 2, 10}, {0, 0}},
                                     {kNew, {2, 0, 4, 10}, {2, 0}},
                                     {kNew, {4, 0, 6, 10}, {4, 0}},
                                     {kNew, {6, 3, 8, 10}, {6, 0}},
                                     {kNew, {8, 5, 10, 10}, {8, 0}},
                                     {kNew, {10, 7, 12, 10}, {10, 0}}}));
    // N + 9 (N div 4) = 13 frames; the last column lands in the last one.
    run.RunTo(12);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {18, 0, 20, 10}, {18, 0}}}));
    EXPECT_EQ(run.RunToEnd(), 13);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(SlideGeometry, SlidingColumnsFromUpAndBottomOverlapByOneRow) {
    // The lower pieces' regions begin at Round(H m / 10) - 1; later slots draw over earlier ones.
    FamilyRun run(20, 21, 11, 4);
    run.RunTo(4);
    EXPECT_TRUE(run.NextFrameCopies({{kNew, {0, 0, 2, 11}, {0, 0}},
                                     {kNew, {2, 0, 4, 10}, {2, 0}},
                                     {kNew, {4, 2, 6, 9}, {4, 0}},
                                     {kNew, {6, 5, 8, 8}, {6, 0}},
                                     {kNew, {18, 0, 21, 11}, {18, 0}},
                                     {kNew, {16, 1, 18, 11}, {16, 1}},
                                     {kNew, {14, 2, 16, 9}, {14, 4}},
                                     {kNew, {12, 3, 14, 6}, {12, 8}}}));
    EXPECT_EQ(run.RunToEnd(), 13);
}

TEST(SlideGeometry, BlindsSlideOnlyATenthOfTheWidth) {
    // Each band starts Ceil(2.1) = 3 to the right and moves 0.525 a frame to the left.
    FamilyRun run(22, 21, 11, 4);
    std::vector<testing_support::Copy> bands;
    for (int i = 1; i <= 10; ++i) {
        bands.push_back({kNew, {0, 11 * (i - 1) / 10, 19, 11 * i / 10}, {2, 11 * (i - 1) / 10}});
    }
    EXPECT_TRUE(run.NextFrameCopies(bands));
}

}  // namespace
