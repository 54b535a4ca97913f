// The slideshow's own arithmetic: the item orders, the effect draw, the placement rules and the
// picture filters.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "common/Random.h"
#include "slideshow/Filters.h"
#include "slideshow/Layout.h"
#include "slideshow/Sequencer.h"

namespace {

using show::TSequencer;

std::vector<std::int32_t> Loads(TSequencer& s, int count) {
    std::vector<std::int32_t> loads;
    for (int i = 0; i < count; ++i) {
        s.ChooseNextCounter();
        loads.push_back(s.NextIndex);
    }
    return loads;
}

TEST(Sequencer, SequentialGoesRoundAndBackStepsOnlyOnce) {
    TSequencer s;
    s.Reset(4, show::kSequential, false, "ab");
    EXPECT_EQ(Loads(s, 6), (std::vector<std::int32_t>{0, 1, 2, 3, 0, 1}));
    s.BackStep = true;
    s.ChooseNextCounter();
    EXPECT_EQ(s.NextIndex, 0);
    EXPECT_EQ(s.PrevIndex, 1);
    EXPECT_FALSE(s.BackStep);
    s.BackStep = true;
    s.ChooseNextCounter();
    EXPECT_EQ(s.NextIndex, 3) << "back from item 0 wraps to the last item";
    EXPECT_EQ(Loads(s, 1), std::vector<std::int32_t>{0});
    EXPECT_EQ(s.EffectSelection, "ab");
}

TEST(Sequencer, RandomShowsEveryItemOncePerPassAndNeverRepeatsAcrossPasses) {
    core::SetRandSeed(99);
    TSequencer s;
    s.Reset(3, show::kRandom, false, "x");
    const auto loads = Loads(s, 300);
    for (std::size_t pass = 0; pass < loads.size(); pass += 3) {
        std::set<std::int32_t> items(loads.begin() + static_cast<long>(pass), loads.begin() + static_cast<long>(pass) + 3);
        EXPECT_EQ(items, (std::set<std::int32_t>{0, 1, 2})) << "pass at " << pass;
        if (pass > 0) {
            EXPECT_NE(loads[pass], loads[pass - 1]) << "a pass never begins with the item that ended the last";
        }
    }
}

TEST(Sequencer, ShuffleRepeatsOnePermutationFromTheStart) {
    core::SetRandSeed(5);
    TSequencer s;
    s.Reset(4, show::kShuffle, false, "x");
    const auto loads = Loads(s, 12);
    EXPECT_EQ(std::set<std::int32_t>(loads.begin(), loads.begin() + 4), (std::set<std::int32_t>{0, 1, 2, 3}));
    for (std::size_t i = 4; i < loads.size(); ++i) {
        EXPECT_EQ(loads[i], loads[i - 4]);
    }
}

TEST(Sequencer, TheIntroductionItemIsLeftOutOfEveryOrder) {
    for (const std::int32_t order : {show::kSequential, show::kRandom, show::kShuffle}) {
        core::SetRandSeed(1234);
        TSequencer s;
        s.Reset(3, order, true, "x");
        s.NextIndex = 0;  // the start shows item 0 first
        for (const std::int32_t item : Loads(s, 60)) {
            ASSERT_NE(item, 0) << "order " << order;
        }
    }
    TSequencer s;
    s.Reset(3, show::kSequential, true, "x");
    s.NextIndex = 1;
    s.BackStep = true;
    s.ChooseNextCounter();
    EXPECT_EQ(s.NextIndex, 2) << "back from item 1 skips the introduction";
}

TEST(Sequencer, OneItemLeftInTheRotationLosesItsTransitions) {
    TSequencer one;
    one.Reset(1, show::kRandom, false, "abc");
    one.ChooseNextCounter();
    EXPECT_EQ(one.NextIndex, 0);
    EXPECT_EQ(one.EffectSelection, "");

    TSequencer intro;
    intro.Reset(2, show::kSequential, true, "abc");
    intro.NextIndex = 0;
    intro.ChooseNextCounter();  // leaving the introduction
    EXPECT_EQ(intro.NextIndex, 1);
    EXPECT_EQ(intro.EffectSelection, "abc") << "item 1 still comes in with a transition";
    intro.ChooseNextCounter();
    EXPECT_EQ(intro.NextIndex, 1);
    EXPECT_EQ(intro.EffectSelection, "");

    TSequencer none;
    none.Reset(0, show::kSequential, false, "abc");
    none.ChooseNextCounter();
    EXPECT_EQ(none.NextIndex, -1);
}

TEST(Sequencer, RandomEffectDrawsEachSelectedEffectEvenly) {
    EXPECT_EQ(show::RandomEffect(""), 0);
    core::SetRandSeed(3);
    std::map<int, int> counts;
    for (int i = 0; i < 3000; ++i) {
        ++counts[show::RandomEffect(std::string{1, 5, 115})];
    }
    EXPECT_EQ(counts.size(), 3u);
    for (const auto& [effect, count] : counts) {
        EXPECT_NEAR(count, 1000, 100) << effect;
    }
}

TEST(Layout, TheWorkedExamples) {
    EXPECT_EQ(show::PlaceStill(0, {1024, 768}, {1000, 500}), (gfx::IntRect{0, 128, 1024, 640}));
    EXPECT_EQ(show::PlaceStill(0, {1024, 768}, {333, 500}), (gfx::IntRect{257, 0, 767, 768}));
    EXPECT_EQ(show::PlaceStill(2, {800, 600}, {1001, 601}), (gfx::IntRect{-100, 0, 901, 601}));
    EXPECT_EQ(show::PlaceStill(4, {800, 600}, {1600, 1000}), (gfx::IntRect{0, 50, 800, 550}));
    EXPECT_EQ(show::PlaceStill(4, {800, 600}, {400, 300}), (gfx::IntRect{200, 150, 600, 450}));
    EXPECT_EQ(show::PlaceStill(1, {800, 600}, {7, 9}), (gfx::IntRect{0, 0, 800, 600}));
    EXPECT_EQ(show::FitRect(0, 10, 5, 5), (gfx::IntRect{0, 0, 0, 10}));
    EXPECT_EQ(show::FitRect(100, 100, 3, 2), (gfx::IntRect{0, 16, 100, 83})) << "66.67 rounds to 67";
}

TEST(Layout, RandomPlacementsStayInTheirRanges) {
    core::SetRandSeed(77);
    std::set<std::int32_t> lefts;
    for (int i = 0; i < 2000; ++i) {
        const gfx::IntRect r = show::PlaceStill(5, {800, 600}, {790, 597});
        ASSERT_GE(r.left, 0);
        ASSERT_LE(r.left, 9);
        ASSERT_GE(r.top, 0);
        ASSERT_LE(r.top, 2);
        lefts.insert(r.left);
        EXPECT_EQ(r.Size(), (gfx::IntSize{790, 597}));
    }
    EXPECT_EQ(lefts.size(), 10u) << "every offset 0..dx-1 occurs";
    EXPECT_EQ(show::PlaceStill(5, {800, 600}, {800, 600}), (gfx::IntRect{0, 0, 800, 600}));
    for (int i = 0; i < 500; ++i) {
        const gfx::IntRect wide = show::PlaceStill(3, {800, 600}, {900, 100});
        ASSERT_GE(wide.left, -99);
        ASSERT_LE(wide.left, 0);
        const gfx::IntRect fitted = show::PlaceStill(5, {800, 600}, {1600, 600});
        ASSERT_EQ(fitted.Size(), (gfx::IntSize{800, 300}));
        ASSERT_GE(fitted.top, 0);
        ASSERT_LT(fitted.top, 300);
    }
}

TEST(Layout, TheSizeKnownBeforeDecodingIsThePlacementsSizeAndDrawsNoRandomNumber) {
    const std::vector<gfx::IntSize> frames = {{1920, 1080}, {800, 600}, {1080, 1920}};
    const std::vector<gfx::IntSize> images = {{6000, 4000}, {333, 500}, {800, 600}, {1001, 601}, {20, 3000}, {0, 5}};
    for (std::int32_t mode = -1; mode <= 7; ++mode) {
        for (const gfx::IntSize frame : frames) {
            for (const gfx::IntSize image : images) {
                core::SetRandSeed(5);
                const gfx::IntSize size = show::StillSize(mode, frame, image);
                const std::int32_t next = core::Random(1000);
                core::SetRandSeed(5);
                EXPECT_EQ(size, show::PlaceStill(mode, frame, image).Size())
                    << "mode " << mode << ", frame " << frame.width << " x " << frame.height << ", image "
                    << image.width << " x " << image.height;
                core::SetRandSeed(5);
                ASSERT_EQ(core::Random(1000), next);
            }
        }
    }
}

TEST(Layout, ThePlayerPanel) {
    const gfx::IntSize screen{1024, 768};
    EXPECT_EQ(show::PlacePanel(1, screen, {0, 0, 320, 240}), (gfx::IntRect{0, 0, 1024, 768}));
    EXPECT_EQ(show::PlacePanel(2, screen, {0, 0, 320, 240}), gfx::IntRect::FromSize(352, 264, 321, 241));
    EXPECT_EQ(show::PlacePanel(4, screen, {0, 0, 2000, 1000}), show::PlacePanel(0, screen, {0, 0, 2000, 1000}));
    const gfx::IntRect fitted = show::PlacePanel(0, screen, {0, 0, 640, 480});
    EXPECT_EQ(fitted, gfx::IntRect::FromSize(0, 0, 1024, 769)) << "641 x 481 fitted, then one pixel larger";
    core::SetRandSeed(8);
    for (int i = 0; i < 200; ++i) {
        const gfx::IntRect r = show::PlacePanel(3, screen, {0, 0, 320, 240});
        ASSERT_EQ(r.Size(), (gfx::IntSize{321, 241}));
        ASSERT_TRUE(r.left >= 0 && r.right <= 1024 && r.top >= 0 && r.bottom <= 768);
    }
}

TEST(Filters, MirrorFlipAndGreyInThatOrder) {
    gfx::TBitmap32 image(2, 2);
    image.SetPixel(0, 0, gfx::MakeColor32(255, 0, 0));
    image.SetPixel(1, 0, gfx::MakeColor32(0, 255, 0));
    image.SetPixel(0, 1, gfx::MakeColor32(0, 0, 255));
    image.SetPixel(1, 1, gfx::MakeColor32(10, 20, 30, 128));
    gfx::TBitmap32 both = image;
    show::ApplyFilters(both, show::kFilterMirror | show::kFilterFlip);
    EXPECT_EQ(both.Pixel(0, 0), image.Pixel(1, 1));
    EXPECT_EQ(both.Pixel(1, 1), image.Pixel(0, 0));
    show::ApplyFilters(image, show::kFilterGrey);
    // Blue weighs 0.3 and red 0.1: pure red gives 26 (25.5 rounds to even), pure blue 76 (76.5 too).
    EXPECT_EQ(image.Pixel(0, 0), gfx::MakeColor32(26, 26, 26));
    EXPECT_EQ(image.Pixel(1, 0), gfx::MakeColor32(153, 153, 153));
    EXPECT_EQ(image.Pixel(0, 1), gfx::MakeColor32(76, 76, 76));
    EXPECT_EQ(image.Pixel(1, 1), gfx::MakeColor32(22, 22, 22, 128)) << "1 + 12 + 9 = 22; alpha kept";
}

}  // namespace
