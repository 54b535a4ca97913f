// Effects 96-102 frame by frame: the random decks against a model of the run-time generator, the
// grid cells, and the sweeps' spiral with both of its ends.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "common/Random.h"
#include "tests/unit/TransitionPictures.h"

namespace {

using gfx::IntRect;
using gfx::TBitmap32;
using testing_support::FamilyRun;
using testing_support::InPlace;
using testing_support::SamePicture;

// The run-time generator as its definition reads: seed * 134775813 + 1, and the high half of
// seed * n.
class GeneratorModel {
public:
    explicit GeneratorModel(std::uint32_t seed) : seed_(seed) {}
    int Next(int n) {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<int>((std::uint64_t{seed_} * static_cast<std::uint32_t>(n)) >> 32);
    }

private:
    std::uint32_t seed_;
};

// The order in which a deck of n entries is drawn: filled in order, each position swapped with a
// random one, then taken from the end.
std::vector<int> DrawOrder(int n, std::uint32_t seed) {
    GeneratorModel random(seed);
    std::vector<int> deck(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) {
        deck[static_cast<std::size_t>(p)] = p;
    }
    for (int p = 0; p < n; ++p) {
        std::swap(deck[static_cast<std::size_t>(p)], deck[static_cast<std::size_t>(random.Next(n))]);
    }
    return {deck.rbegin(), deck.rend()};
}

TEST(RandomSweepGeometry, RandomLinesDrawEveryBandOnceInTheOrderOfTheSeed) {
    // 12 x 10, N = 4: four bands at rows 10 e div 4.
    constexpr std::uint32_t kSeed = 0x2468ACE1u;
    FamilyRun run(96, 12, 10, 4);
    core::SetRandSeed(kSeed);
    const int rows[] = {0, 2, 5, 7, 10};
    TBitmap32 expected = run.Old();
    for (const int band : DrawOrder(4, kSeed)) {
        expected.CopyRect({0, rows[band]}, run.New(), {0, rows[band], 12, rows[band + 1]});
        run.Frame();
        EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "band " << band;
    }
    EXPECT_EQ(run.RunToEnd(), 4);

    // With N above the height every band is one row: H frames.
    FamilyRun rows1(96, 12, 5, 32);
    core::SetRandSeed(kSeed);
    expected = rows1.Old();
    for (const int row : DrawOrder(5, kSeed)) {
        EXPECT_TRUE(rows1.NextFrameCopies({InPlace({0, row, 12, row + 1})}));
    }
    EXPECT_EQ(rows1.RunToEnd(), 5);
}

TEST(RandomSweepGeometry, RandomRectanglesDrawFourCellsAFrameOfAGridThatOverhangsThePicture) {
    // 16 x 16, N = 4: d = min(4, 16 div 4) = 4, 25 cells (c, r) = (p mod 5, p div 5) of 4 x 4 pixels,
    // the last column and row outside the picture; k = 4 a frame, so 7 frames.
    constexpr std::uint32_t kSeed = 77;
    FamilyRun run(98, 16, 16, 4);
    core::SetRandSeed(kSeed);
    const std::vector<int> order = DrawOrder(25, kSeed);
    TBitmap32 expected = run.Old();
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int c = order[i] % 5;
        const int r = order[i] / 5;
        expected.CopyRect({4 * c, 4 * r}, run.New(), {4 * c, 4 * r, 4 * c + 4, 4 * r + 4});
        if (i % 4 == 3 || i + 1 == order.size()) {
            run.Frame();
            EXPECT_TRUE(SamePicture(run.Canvas(), expected)) << "frame " << run.FramesDrawn();
        }
    }
    EXPECT_EQ(run.RunToEnd(), 7);
    EXPECT_TRUE(SamePicture(run.Canvas(), run.New()));
}

TEST(RandomSweepGeometry, GridsOnPicturesTooLowForOneDivisionUseOne) {
    // 5 x 3: H div 4 = H div 8 = 0 would divide by zero. One division: four cells, one a frame; the
    // rectangle of cell (0, 0) is the whole picture, and the four ellipses on the corners cover it.
    for (const int effect : {98, 99}) {
        FamilyRun run(effect, 5, 3, 4);
        EXPECT_EQ(run.RunToEnd(), 4) << "effect " << effect;
        EXPECT_TRUE(SamePicture(run.Canvas(), run.New())) << "effect " << effect;
    }
    // "Random Large Ellipses" always has 121 cells, at most N^3 frames.
    EXPECT_EQ(FamilyRun(100, 5, 3, 4).RunToEnd(), 64);
    EXPECT_EQ(FamilyRun(100, 5, 3, 5).RunToEnd(), 121);
}

TEST(RandomSweepGeometry, SweepFromOutsideInSpiralsUntilItsBoundsCross) {
    // 33 x 21, N = 4: tiles 5 x 3, step Ceil(21 / 1) = 21 on both axes; the bounds start one tile
    // inside the far edges and move a tile inward at every turn.
    FamilyRun run(102, 33, 21, 4);
    const IntRect tiles[] = {
        {0, 0, 5, 3},   {21, 0, 26, 3},   {29, 0, 33, 3},  {29, 19, 33, 21}, {8, 19, 13, 21}, {0, 19, 4, 21},
        {0, 2, 4, 5},   {20, 2, 25, 5},   {24, 2, 29, 5},  {24, 16, 29, 19}, {4, 16, 9, 19},  {4, 5, 9, 8},
        {19, 5, 24, 8}, {19, 13, 24, 16}, {9, 13, 14, 16}, {9, 8, 14, 11},
    };
    for (const IntRect& tile : tiles) {
        EXPECT_TRUE(run.NextFrameCopies({InPlace(tile)}));
    }
    EXPECT_EQ(run.RunToEnd(), 16);
}

TEST(RandomSweepGeometry, SweepFromInsideOutSpiralsOutUntilItReachesTheCorner) {
    // 4 x 4, N = 16: one-pixel tiles, step 1, clockwise out from (1, 1). It ends when the next tile
    // would be (0, 0), which the final frame fills; the cap of 4 N + 1 frames is never reached.
    FamilyRun run(101, 4, 4, 16);
    const int path[][2] = {{1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}, {1, 0}, {2, 0}, {3, 0},
                           {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {0, 3}, {0, 2}, {0, 1}};
    for (const auto& p : path) {
        EXPECT_TRUE(run.NextFrameCopies({InPlace({p[0], p[1], p[0] + 1, p[1] + 1})}));
    }
    EXPECT_EQ(run.RunToEnd(), 16);
    TBitmap32 expected = run.New();
    expected.SetPixel(0, 0, run.Old().Pixel(0, 0));
    EXPECT_TRUE(SamePicture(run.Canvas(), expected));

    // 33 x 21, N = 4: the step of 21 overshoots the spiral, which is cut at 4 N + 1 = 17 frames.
    EXPECT_EQ(FamilyRun(101, 33, 21, 4).RunToEnd(), 17);
}

}  // namespace
