// Effects 23-64 frame by frame: each frame reveals exactly the new image under the variant's folds,
// in place. N = 4 unless a case says otherwise.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/unit/TransitionPictures.h"

namespace {

using testing_support::Copy;
using testing_support::FamilyRun;
using testing_support::InPlace;
using testing_support::SamePicture;

// The unfold variant v is effect 22 + v.
constexpr int Unfold(int variant) { return 22 + variant; }

TEST(UnfoldGeometry, UnfoldFromLeftRoundsEachStepOfTheFold) {
    // The fold is Ceil(5.25) = 6 wide at x = 0, 5.25, 10.5, 15.75; Round(10.5) = 10 (ties to even).
    FamilyRun run(Unfold(1), 21, 11, 4);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 6, 11})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({5, 0, 11, 11})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({10, 0, 16, 11})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({16, 0, 21, 11})}));
    EXPECT_EQ(run.RunToEnd(), 4);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(UnfoldGeometry, ANegativeFoldAtTheRightEdgeIsVisibleFromItsFirstStep) {
    FamilyRun run(Unfold(2), 21, 11, 4);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({15, 0, 21, 11})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({10, 0, 16, 11})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({4, 0, 10, 11})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 5, 11})}));
    EXPECT_TRUE(run.NextFrameCopies({}));  // N + 1 steps: the last one is empty at x = 0
    EXPECT_EQ(run.RunToEnd(), 5);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(UnfoldGeometry, AllCornersComeInFromOutsideThePicture) {
    // Quarter-size folds start a quarter outside each corner; the first step shows nothing.
    FamilyRun run(Unfold(11), 20, 10, 4);
    EXPECT_TRUE(run.NextFrameCopies({}));
    run.RunTo(2);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 5, 2}), InPlace({15, 8, 20, 10}), InPlace({15, 0, 20, 2}),
                                     InPlace({0, 8, 5, 10})}));
    run.RunTo(5);
    // Folds 3 and 4 take N + 2 steps and overshoot the centre.
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 10, 5}), InPlace({10, 5, 20, 10}), InPlace({8, 1, 18, 6}),
                                     InPlace({2, 4, 12, 9})}));
    EXPECT_EQ(run.RunToEnd(), 6);
}

TEST(UnfoldGeometry, FallingColumnsStartHalfAPictureApart) {
    FamilyRun run(Unfold(14), 20, 10, 4);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 2, 3})}));
    run.RunTo(2);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 5, 2, 8}), InPlace({2, 0, 4, 3})}));
    // N + 9 (N div 2) = 22 frames.
    EXPECT_EQ(run.RunToEnd(), 22);
}

// The copies of variants 25-34 in one frame: 32 lines `band` wide across the picture; the odd and
// the even ones each show the new image over a span of their length (empty: nothing).
std::vector<Copy> Lines(bool horizontal, int band, std::pair<int, int> odd, std::pair<int, int> even) {
    std::vector<Copy> copies;
    for (int i = 1; i <= 32; ++i) {
        const auto [from, to] = i % 2 == 1 ? odd : even;
        const int at = (i - 1) * band;
        if (from < to) {
            copies.push_back(InPlace(horizontal ? gfx::IntRect{from, at, to, at + band}
                                                : gfx::IntRect{at, from, at + band, to}));
        }
    }
    return copies;
}

TEST(UnfoldGeometry, HorizontalLinesFromLeftFillTheEvenLinesOnTheSecondPass) {
    // 22 x 40: lines Ceil(40 / 32) = 2 rows high; folds Ceil(5.5) = 6 wide. The even lines start a
    // picture to the left and take 2N steps.
    FamilyRun run(Unfold(25), 22, 40, 4);
    EXPECT_TRUE(run.NextFrameCopies(Lines(true, 2, {0, 6}, {0, 0})));
    EXPECT_TRUE(run.NextFrameCopies(Lines(true, 2, {6, 12}, {0, 0})));
    EXPECT_TRUE(run.NextFrameCopies(Lines(true, 2, {11, 17}, {0, 0})));
    EXPECT_TRUE(run.NextFrameCopies(Lines(true, 2, {16, 22}, {0, 0})));
    EXPECT_TRUE(run.NextFrameCopies(Lines(true, 2, {16, 22}, {0, 6})));
    run.RunTo(7);
    EXPECT_TRUE(run.NextFrameCopies(Lines(true, 2, {16, 22}, {16, 22})));
    EXPECT_EQ(run.RunToEnd(), 8);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(UnfoldGeometry, VerticalLinesFromUpAndBackComeBackFromBelow) {
    // 33 x 21: columns 2 wide (the seventeenth is cut to one); the even columns' folds start at 2H
    // with a negative height and enter in frame 4.
    FamilyRun run(Unfold(32), 33, 21, 4);
    EXPECT_TRUE(run.NextFrameCopies(Lines(false, 2, {0, 6}, {0, 0})));
    run.RunTo(3);
    EXPECT_TRUE(run.NextFrameCopies(Lines(false, 2, {16, 21}, {20, 21})));
    EXPECT_TRUE(run.NextFrameCopies(Lines(false, 2, {16, 21}, {15, 21})));
    run.RunTo(7);
    EXPECT_TRUE(run.NextFrameCopies(Lines(false, 2, {16, 21}, {0, 5})));
    EXPECT_TRUE(run.NextFrameCopies(Lines(false, 2, {16, 21}, {0, 0})));
    EXPECT_EQ(run.RunToEnd(), 9);  // 2N + 1
}

TEST(UnfoldGeometry, VerticalLinesFromSidesStepAtLeastTwoPixelsOnANarrowPicture) {
    // W = 6: S = min(32, 3) = 3, so the folds step 2 pixels and are 1 wide: three frames fill it.
    FamilyRun run(Unfold(21), 6, 5, 32);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 1, 5}), InPlace({5, 0, 6, 5})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({2, 0, 3, 5}), InPlace({3, 0, 4, 5})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({4, 0, 5, 5}), InPlace({1, 0, 2, 5})}));
    EXPECT_EQ(run.RunToEnd(), 3);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(UnfoldGeometry, DownloadFromLeftFillsThePictureInFourShiftedPasses) {
    // N = 8, H = 40: S = min(2, 10) = 2, folds Ceil(20 / 2 / 4) = 3 wide stepping 10; pass k starts
    // (k - 1) (3 - 20) to the left and runs 2k steps.
    FamilyRun run(Unfold(41), 20, 40, 8);
    EXPECT_TRUE(run.NextFrameCopies({InPlace({0, 0, 3, 40})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({10, 0, 13, 40})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({3, 0, 6, 40})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({13, 0, 16, 40})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({6, 0, 9, 40})}));
    // Pass 4 touches the picture at x = -1 on its way in.
    EXPECT_TRUE(run.NextFrameCopies({InPlace({16, 0, 19, 40}), InPlace({0, 0, 2, 40})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({9, 0, 12, 40})}));
    EXPECT_TRUE(run.NextFrameCopies({InPlace({19, 0, 20, 40})}));
    EXPECT_EQ(run.RunToEnd(), 8);  // 4 S
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(UnfoldGeometry, DownloadsWithoutAWholeStepUnitTakeOneQuarterAFrame) {
    // N = 2 gives N div 4 = 0 and a picture 3 high gives H div 4 = 0: the unit would be 0 and the
    // set-up would divide by it. The unit is 1 instead: four frames, a quarter each.
    FamilyRun left(Unfold(41), 20, 40, 2);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(left.NextFrameCopies({InPlace({5 * k, 0, 5 * k + 5, 40})})) << "frame " << k + 1;
    }
    EXPECT_EQ(left.RunToEnd(), 4);
    EXPECT_TRUE(SamePicture(left.Canvas(), left.New()));

    FamilyRun up(Unfold(42), 9, 3, 32);
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(up.NextFrameCopies({InPlace({0, k, 9, k + 1})})) << "frame " << k + 1;
    }
    EXPECT_EQ(up.RunToEnd(), 4);
    EXPECT_TRUE(SamePicture(up.Canvas(), up.New()));
}

}  // namespace
