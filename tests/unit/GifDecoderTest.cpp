// GIF files made with giflib: every frame comes out as stored, with what the animation needs, and
// hostile files stay within the caps or give nothing.

#include <gtest/gtest.h>

#include "gfx/decode/GifDecoder.h"
#include "gfx/decode/PictureFormats.h"
#include "tests/support/PictureEncoders.h"

namespace {

using gfx::Color32;
using gfx::TDisposal;
using testing_support::Bytes;
using testing_support::GifFrameLayout;
using testing_support::GifLayout;

constexpr Color32 R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;

std::vector<Color32> Pixels(const gfx::TBitmap32& b) { return {b.Bits(), b.Bits() + b.Width() * b.Height()}; }

std::optional<gfx::TPicture> Decode(const Bytes& bytes) { return gfx::DecodePicture(gfx::TPictureFormat::Gif, bytes); }

GifFrameLayout Frame(int left, int top, int width, int height, std::uint8_t index) {
    return GifFrameLayout{left, top, width, height, Bytes(static_cast<std::size_t>(width * height), index)};
}

TEST(GifDecoder, FramesCarryTimingPlacementDisposalAndTransparency) {
    GifLayout layout{8, 6, {R, G, B, W}, 2, 0};
    GifFrameLayout first = Frame(0, 0, 8, 6, 3);
    first.indices[0] = 0;
    first.delayCs = 10;
    first.disposal = 1;
    GifFrameLayout second{2, 1, 3, 2, {0, 1, 0, 1, 1, 0}, {K, 0xFF808080}};
    second.delayCs = 25;
    second.disposal = 2;
    second.transparent = 1;
    GifFrameLayout third{4, 3, 4, 3, {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2}};
    third.interlaced = true;
    third.delayCs = 5;
    third.disposal = 3;
    GifFrameLayout fourth = Frame(7, 5, 1, 1, 1);
    fourth.control = false;
    layout.frames = {first, second, third, fourth};

    const auto gif = Decode(testing_support::EncodeGif(layout));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->size, (gfx::IntSize{8, 6}));
    EXPECT_EQ(gif->backgroundColor, B);
    EXPECT_EQ(gif->loopCount, 0);
    ASSERT_EQ(gif->frames.size(), 4u);

    const auto& f0 = gif->frames[0];
    EXPECT_EQ(f0.Rect(), (gfx::IntRect{0, 0, 8, 6}));
    EXPECT_EQ(f0.delayMs, 100);
    EXPECT_EQ(f0.disposal, TDisposal::DoNotDispose);
    EXPECT_FALSE(f0.HasTransparency());
    EXPECT_EQ(f0.bitmap.Pixel(0, 0), R);
    EXPECT_EQ(f0.bitmap.Pixel(7, 5), W);

    // A local palette, and the transparent index as alpha 0 over its own colour.
    const auto& f1 = gif->frames[1];
    EXPECT_EQ(f1.Rect(), (gfx::IntRect{2, 1, 5, 3}));
    EXPECT_EQ(f1.delayMs, 250);
    EXPECT_EQ(f1.disposal, TDisposal::RestoreBackground);
    EXPECT_EQ(f1.transparentIndex, 1);
    EXPECT_EQ(f1.transparentColor, 0xFF808080);
    EXPECT_EQ(Pixels(f1.bitmap), (std::vector<Color32>{K, 0x00808080, K, 0x00808080, 0x00808080, K}));

    // Interlaced rows land in their places.
    const auto& f2 = gif->frames[2];
    EXPECT_EQ(f2.Rect(), (gfx::IntRect{4, 3, 8, 6}));
    EXPECT_EQ(f2.disposal, TDisposal::RestorePrevious);
    EXPECT_EQ(f2.delayMs, 50);
    EXPECT_EQ(Pixels(f2.bitmap), (std::vector<Color32>{R, R, R, R, G, G, G, G, B, B, B, B}));

    // No control extension: no delay, no disposal, no transparency.
    const auto& f3 = gif->frames[3];
    EXPECT_EQ(f3.delayMs, 0);
    EXPECT_EQ(f3.disposal, TDisposal::Unspecified);
    EXPECT_EQ(f3.transparentIndex, -1);
    EXPECT_EQ(f3.bitmap.Pixel(0, 0), G);
}

TEST(GifDecoder, LoopCountAndBackgroundOnlyWhenTheFileHasThem) {
    GifFrameLayout local = Frame(0, 0, 2, 2, 1);
    local.palette = {R, G};
    const auto bare = Decode(testing_support::EncodeGif(GifLayout{2, 2, {}, 0, std::nullopt, {local}}));
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->loopCount);
    EXPECT_FALSE(bare->backgroundColor);
    EXPECT_EQ(Pixels(bare->frames[0].bitmap), (std::vector<Color32>(4, G)));

    const auto looping = Decode(testing_support::EncodeGif(GifLayout{2, 2, {R, G}, 1, 513, {Frame(0, 0, 2, 2, 0)}}));
    ASSERT_TRUE(looping);
    EXPECT_EQ(looping->loopCount, 513);
    EXPECT_EQ(looping->backgroundColor, G);
}

TEST(GifDecoder, BrokenFilesGiveNothing) {
    const GifLayout good{4, 4, {R, G}, 0, std::nullopt, {Frame(0, 0, 4, 4, 1), Frame(1, 1, 2, 2, 0)}};
    const Bytes bytes = testing_support::EncodeGif(good);
    ASSERT_TRUE(Decode(bytes));

    // Cut inside the second frame: nothing; only the trailer missing: both frames.
    EXPECT_FALSE(Decode(Bytes(bytes.begin(), bytes.end() - 3)));
    EXPECT_FALSE(Decode(Bytes(bytes.begin(), bytes.begin() + 12)));
    const auto noTrailer = Decode(Bytes(bytes.begin(), bytes.end() - 1));
    ASSERT_TRUE(noTrailer);
    EXPECT_EQ(noTrailer->frames.size(), 2u);

    Bytes magic = bytes;
    magic[0] = 'J';
    EXPECT_FALSE(Decode(magic));

    // A frame reaching out of the screen, a screen beyond the cap, a frame without any palette.
    GifLayout outside = good;
    outside.frames[1].left = 3;
    EXPECT_FALSE(Decode(testing_support::EncodeGif(outside)));
    GifLayout huge = good;
    huge.width = huge.height = 65535;
    gfx::TGifDecoder decoder;
    EXPECT_FALSE(decoder.Open(testing_support::EncodeGif(huge)));
    EXPECT_FALSE(decoder.Frames());
    GifLayout paletteless = good;
    paletteless.palette.clear();
    EXPECT_FALSE(Decode(testing_support::EncodeGif(paletteless)));
}

TEST(GifDecoder, ManyFramesStopAtTheAnimationLimits) {
    // One 2 x 2 frame, its bytes repeated 100,000 times between the header and the trailer.
    const Bytes one = testing_support::EncodeGif(GifLayout{64, 64, {R, G}, 0, std::nullopt, {Frame(5, 5, 2, 2, 1)}});
    const std::size_t header = 13 + 3 * 2;
    Bytes many(one.begin(), one.begin() + static_cast<std::ptrdiff_t>(header));
    const Bytes frame(one.begin() + static_cast<std::ptrdiff_t>(header), one.end() - 1);
    for (int i = 0; i < 100000; ++i) {
        many.insert(many.end(), frame.begin(), frame.end());
    }
    many.push_back(0x3B);

    const auto capped = Decode(many);
    ASSERT_TRUE(capped);
    ASSERT_EQ(capped->frames.size(), static_cast<std::size_t>(gfx::kMaxAnimationFrames));
    EXPECT_EQ(capped->frames.back().Rect(), (gfx::IntRect{5, 5, 7, 7}));  // each at its own small size

    gfx::TGifDecoder byCount({.frames = 3});
    ASSERT_TRUE(byCount.Open(many));
    EXPECT_EQ(byCount.Frames()->frames.size(), 3u);
    gfx::TGifDecoder byPixels({.pixels = 10});
    ASSERT_TRUE(byPixels.Open(many));
    EXPECT_EQ(byPixels.Frames()->frames.size(), 2u);
}

}  // namespace
