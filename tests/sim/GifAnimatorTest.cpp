// GIF items animating in place on the simulated clock: each frame for its own delay, looping or
// stopping after the last, drawn over gifbackg into the item's rectangle and put on the display
// surface whole.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/Surface.h"
#include "platform/Window.h"
#include "platform/sim/SimSurface.h"
#include "slideshow/GifAnimator.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/SimFixture.h"

namespace {

using gfx::Color32;
using gfx::IntRect;
using gfx::TBitmap32;
using testing_support::GifFrameLayout;
using testing_support::GifLayout;

constexpr Color32 kRed = 0xFFFF0000u;
constexpr Color32 kGreen = 0xFF00FF00u;
constexpr Color32 kBlue = 0xFF0000FFu;
constexpr Color32 kGrey = 0xFF808080u;
constexpr gfx::IntSize kClient{40, 30};

// A full-screen frame of one palette index.
GifFrameLayout Plain(int w, int h, std::uint8_t index, int delayCs) {
    GifFrameLayout f;
    f.width = w;
    f.height = h;
    f.indices.assign(static_cast<std::size_t>(w * h), index);
    f.delayCs = delayCs;
    return f;
}

// Red, green, blue for 50, 70 and 90 ms.
GifLayout ThreeFrames(bool looping) {
    GifLayout gif{8, 6, {kRed, kGreen, kBlue}, 0, std::nullopt, {}};
    if (looping) {
        gif.loopCount = 0;
    }
    gif.frames = {Plain(8, 6, 0, 5), Plain(8, 6, 1, 7), Plain(8, 6, 2, 9)};
    return gif;
}

class GifAnimation : public testing_support::SimTest {
protected:
    GifAnimation()
        : window_(plat::Window::Create({}, {})),
          display_(plat::Surface::Create(*window_, {0, 0, kClient.width, kClient.height})) {
        display_->Bitmap().SetSize(kClient.width, kClient.height);
        sim::AsSim(*display_).SetOnCanvasChange([this](const IntRect&) {
            shown.push_back({sim::Now(), sim::AsSim(*display_).Canvas()});
        });
    }

    // Loads the GIF and stages it over a grey gifbackg in the rectangle.
    void Load(const GifLayout& gif, const IntRect& rect,
              const TBitmap32& gifbackg = TBitmap32(kClient.width, kClient.height, kGrey)) {
        const std::string path = Dir().File("SSIMG.GIF");
        testing_support::WriteBytes(path, testing_support::EncodeGif(gif));
        ASSERT_TRUE(animator.LoadGif(path));
        animator.SetStage(gifbackg, rect, display_.get(), 0x00FFFF);  // yellow
    }

    void RunUntil(std::uint64_t time) {
        sim::SetRunLimit(time);
        plat::RunMessageLoop();
    }

    // When each picture came and the colour it showed at a point.
    std::vector<std::pair<std::uint64_t, Color32>> ShownAt(gfx::IntPoint p) const {
        std::vector<std::pair<std::uint64_t, Color32>> seen;
        for (const auto& [time, canvas] : shown) {
            seen.emplace_back(time, canvas.Pixel(p.x, p.y));
        }
        return seen;
    }

    struct Shown {
        std::uint64_t time;
        TBitmap32 canvas;
    };
    std::vector<Shown> shown;
    show::TGifAnimator animator;

private:
    std::unique_ptr<plat::Window> window_;
    std::unique_ptr<plat::Surface> display_;
};

using Seen = std::vector<std::pair<std::uint64_t, Color32>>;

TEST_F(GifAnimation, ALoopingGifShowsEachFrameForItsOwnDelayUntilStopped) {
    Load(ThreeFrames(true), {10, 10, 18, 16});
    animator.AnimateGif();
    sim::At(300, [this] { animator.StopGif(); });
    RunUntil(1000);
    EXPECT_EQ(ShownAt({10, 10}), (Seen{{1, kRed}, {51, kGreen}, {121, kBlue}, {211, kRed}, {261, kGreen}}));
    EXPECT_FALSE(animator.GifTimer().Enabled());
    EXPECT_FALSE(animator.Loaded());
    ASSERT_FALSE(shown.empty());
    TBitmap32 expected(kClient.width, kClient.height, kGrey);
    expected.FillRect({10, 10, 18, 16}, kGreen);
    EXPECT_EQ(shown.back().canvas, expected) << "the whole window picture: gifbackg with the frame in its place";
}

TEST_F(GifAnimation, AGifThatDoesNotLoopKeepsItsLastFrame) {
    Load(ThreeFrames(false), {0, 0, 8, 6});
    animator.AnimateGif();
    RunUntil(2000);
    EXPECT_EQ(ShownAt({0, 0}), (Seen{{1, kRed}, {51, kGreen}, {121, kBlue}}));
    EXPECT_FALSE(animator.GifTimer().Enabled());
    EXPECT_EQ(animator.GifFrameIndex(), 3);
    EXPECT_TRUE(animator.Loaded()) << "the picture stays until the next item";
}

TEST_F(GifAnimation, OneFrameNeverAnimatesAndShortDelaysPlayAtATenthOfASecond) {
    GifLayout still{8, 6, {kRed}, 0, 0, {Plain(8, 6, 0, 5)}};
    Load(still, {0, 0, 8, 6});
    animator.AnimateGif();
    EXPECT_FALSE(animator.GifTimer().Enabled());
    RunUntil(500);
    EXPECT_TRUE(shown.empty());

    GifLayout fast = ThreeFrames(true);
    fast.frames[0].delayCs = 0;
    fast.frames[1].delayCs = 1;
    Load(fast, {0, 0, 8, 6});
    animator.AnimateGif();
    RunUntil(750);
    EXPECT_EQ(ShownAt({0, 0}), (Seen{{501, kRed}, {601, kGreen}, {701, kBlue}}));
    EXPECT_EQ(show::TGifAnimator::FrameInterval(0), 100u);
    EXPECT_EQ(show::TGifAnimator::FrameInterval(19), 100u);
    EXPECT_EQ(show::TGifAnimator::FrameInterval(20), 20u);
}

TEST_F(GifAnimation, EveryFrameIsScaledIntoTheFirstFramesRectangle) {
    // 8 x 6 frames of two halves, shown at half size: the halves stay whole.
    GifLayout gif{8, 6, {kRed, kBlue}, 0, 0, {}};
    for (const std::uint8_t left : {0, 1}) {
        GifFrameLayout f = Plain(8, 6, left, 5);
        for (std::size_t i = 0; i < f.indices.size(); ++i) {
            f.indices[i] = static_cast<std::uint8_t>(i % 8 < 4 ? left : 1 - left);
        }
        gif.frames.push_back(f);
    }
    Load(gif, {4, 4, 8, 7});
    animator.AnimateGif();
    RunUntil(60);
    ASSERT_EQ(shown.size(), 2u);
    for (int tick = 0; tick < 2; ++tick) {
        TBitmap32 expected(kClient.width, kClient.height, kGrey);
        expected.FillRect({4, 4, 6, 7}, tick == 0 ? kRed : kBlue);
        expected.FillRect({6, 4, 8, 7}, tick == 0 ? kBlue : kRed);
        EXPECT_EQ(shown[static_cast<std::size_t>(tick)].canvas, expected) << "tick " << tick;
    }
}

TEST_F(GifAnimation, TransparentPixelsShowGifbackgWithItsOverlays) {
    // Index 1 is transparent: the left column of frame 0, the right column of frame 1.
    GifLayout gif{2, 1, {kRed, kGreen}, 0, 0, {}};
    GifFrameLayout first = Plain(2, 1, 0, 5);
    first.indices = {1, 0};
    first.transparent = 1;
    first.disposal = 2;
    GifFrameLayout second = first;
    second.indices = {0, 1};
    gif.frames = {first, second};
    TBitmap32 gifbackg(kClient.width, kClient.height, kGrey);
    gifbackg.FillRect({0, 0, 40, 1}, kBlue);  // an overlay across the item's row
    Load(gif, {5, 0, 7, 1}, gifbackg);

    const auto still = animator.FirstFrame(0x00FFFF);
    ASSERT_TRUE(still);
    EXPECT_EQ(still->Pixel(0, 0), 0x00FFFF00u) << "transparent, in the slideshow's background colour";
    EXPECT_EQ(still->Pixel(1, 0), kRed);

    animator.AnimateGif();
    RunUntil(60);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].canvas.Pixel(5, 0), kBlue);
    EXPECT_EQ(shown[0].canvas.Pixel(6, 0), kRed);
    EXPECT_EQ(shown[1].canvas.Pixel(5, 0), kRed);
    EXPECT_EQ(shown[1].canvas.Pixel(6, 0), kBlue) << "frame 0 was restored to the background";
}

TEST_F(GifAnimation, AFileThatIsNoGifLoadsNothing) {
    const std::string path = Dir().File("SSIMG.GIF");
    testing_support::WriteBytes(path, {'G', 'I', 'F', '8', '9', 'a', 0, 0});
    EXPECT_FALSE(animator.LoadGif(path));
    EXPECT_FALSE(animator.Loaded());
    EXPECT_EQ(animator.FirstFrame(0), std::nullopt);
    animator.AnimateGif();
    EXPECT_FALSE(animator.GifTimer().Enabled());
}

}  // namespace
