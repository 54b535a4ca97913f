// GIF files made with giflib: every frame comes out as stored, with what the animation needs, and
// hostile files stay within the caps or give nothing.

#include <gtest/gtest.h>

#include <algorithm>

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

// Damage after a frame ends the animation there; only a first frame that cannot be read at all
// fails the picture, and then the reason is giflib's own.
TEST(GifDecoder, DamageKeepsTheFramesBeforeIt) {
    const GifLayout good{4, 4, {R, G}, 0, std::nullopt, {Frame(0, 0, 4, 4, 1), Frame(1, 1, 2, 2, 0)}};
    const Bytes bytes = testing_support::EncodeGif(good);
    ASSERT_TRUE(Decode(bytes));

    // Cut inside the second frame, or only the trailer missing.
    const auto cut = Decode(Bytes(bytes.begin(), bytes.end() - 3));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->frames.size(), 1u);
    EXPECT_EQ(Pixels(cut->frames[0].bitmap), std::vector<Color32>(16, G));
    const auto noTrailer = Decode(Bytes(bytes.begin(), bytes.end() - 1));
    ASSERT_TRUE(noTrailer);
    EXPECT_EQ(noTrailer->frames.size(), 2u);
    // A stray record after the first frame.
    Bytes stray(bytes.begin(), bytes.end() - 1);
    stray.push_back(0x99);
    const auto strayed = Decode(stray);
    ASSERT_TRUE(strayed);
    EXPECT_EQ(strayed->frames.size(), 2u);

    std::string why;
    EXPECT_FALSE(gfx::DecodePicture(gfx::TPictureFormat::Gif, Bytes(bytes.begin(), bytes.begin() + 12), &why));
    EXPECT_FALSE(why.empty());
    Bytes magic = bytes;
    magic[0] = 'J';
    EXPECT_FALSE(gfx::DecodePicture(gfx::TPictureFormat::Gif, magic, &why));
    EXPECT_EQ(why, "Data is not in GIF format");
    // The header whole, the first frame's data gone.
    const std::size_t firstData = 13 + 3 * 2 + 10 + 1;  // header, palette, descriptor, code size
    EXPECT_FALSE(gfx::DecodePicture(gfx::TPictureFormat::Gif, Bytes(bytes.begin(), bytes.begin() + firstData), &why));
    EXPECT_FALSE(why.empty());

    GifLayout huge = good;
    huge.width = huge.height = 65535;
    gfx::TGifDecoder decoder;
    EXPECT_FALSE(decoder.Open(testing_support::EncodeGif(huge)));
    EXPECT_EQ(decoder.Failure(), "65535 x 65535 pixels are beyond the pixel cap");
    EXPECT_FALSE(decoder.Frames());
}

TEST(GifDecoder, AFirstFrameCutOffShowsTheRowsRead) {
    // 64 x 64 of varied indices takes several data blocks; cut halfway through them.
    GifLayout layout{64, 64, {}, 0, std::nullopt, {Frame(0, 0, 64, 64, 0)}};
    for (int i = 0; i < 256; ++i) {
        layout.palette.push_back(0xFF000000u | static_cast<Color32>(i * 0x010203));
    }
    std::uint32_t seed = 5;
    for (std::uint8_t& index : layout.frames[0].indices) {
        seed = seed * 134775813 + 1;
        index = static_cast<std::uint8_t>(seed >> 24);
    }
    const Bytes whole = testing_support::EncodeGif(layout);
    const auto gif = Decode(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)));
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->frames.size(), 1u);
    const gfx::TBitmap32& frame = gif->frames[0].bitmap;
    EXPECT_EQ(frame.Width(), 64);
    EXPECT_EQ(frame.Height(), 64);
    EXPECT_EQ(frame.Pixel(5, 0), layout.palette[layout.frames[0].indices[5]]);
    EXPECT_EQ(frame.Pixel(63, 63), 0x00000000u) << "rows the data does not reach are transparent";
}

TEST(GifDecoder, FramesReachingOutOfTheScreenAreClipped) {
    GifLayout layout{4, 4, {R, G, B, W}, 0, std::nullopt, {Frame(0, 0, 4, 4, 0)}};
    GifFrameLayout corner{2, 3, 3, 2, {0, 1, 2, 3, 2, 1}};
    corner.delayCs = 7;
    GifFrameLayout outside = Frame(10, 10, 2, 2, 1);
    outside.delayCs = 20;
    layout.frames.push_back(corner);
    layout.frames.push_back(outside);
    layout.frames.push_back(Frame(0, 0, 4, 4, 2));
    const auto gif = Decode(testing_support::EncodeGif(layout));
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->frames.size(), 4u);
    // Of the 3 x 2 frame at (2, 3) only its top row's first two pixels are on the 4 x 4 screen.
    EXPECT_EQ(gif->frames[1].Rect(), (gfx::IntRect{2, 3, 4, 4}));
    EXPECT_EQ(Pixels(gif->frames[1].bitmap), (std::vector<Color32>{R, G}));
    EXPECT_EQ(gif->frames[1].delayMs, 70);
    // Wholly outside: kept, empty, for its delay; the frame after it is read as usual.
    EXPECT_TRUE(gif->frames[2].bitmap.Empty());
    EXPECT_EQ(gif->frames[2].delayMs, 200);
    EXPECT_EQ(gif->frames[3].bitmap.Pixel(3, 3), B);
}

TEST(GifDecoder, AFrameWithoutPixelsIsKeptForItsDelay) {
    // Between two frames, an image of 0 x 0 pixels: its descriptor, a code size and no data.
    const GifLayout one{4, 4, {R, G}, 0, std::nullopt, {Frame(0, 0, 4, 4, 1)}};
    GifLayout two = one;
    two.frames.push_back(Frame(1, 1, 2, 2, 0));
    const Bytes first = testing_support::EncodeGif(one);
    const Bytes both = testing_support::EncodeGif(two);
    ASSERT_TRUE(std::equal(first.begin(), first.end() - 1, both.begin()));
    Bytes bytes(first.begin(), first.end() - 1);
    bytes.insert(bytes.end(), {0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0});
    bytes.insert(bytes.end(), both.begin() + static_cast<std::ptrdiff_t>(first.size() - 1), both.end());
    const auto gif = Decode(bytes);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->frames.size(), 3u);
    EXPECT_TRUE(gif->frames[1].bitmap.Empty());
    EXPECT_EQ(Pixels(gif->frames[2].bitmap), std::vector<Color32>(4, R));
}

// A GIF without any colour table: its indices are greys over the screen's colour resolution.
TEST(GifDecoder, WithoutAnyColourTableTheIndicesAreAGreyRamp) {
    GifFrameLayout frame{0, 0, 4, 1, {0, 1, 2, 3}};
    const Bytes withTable = testing_support::EncodeGif(GifLayout{4, 1, {R, G, B, W}, 0, std::nullopt, {frame}});
    // Drop the global table (flag and the 4 entries after the screen descriptor), and give a
    // colour resolution of 2 bits.
    Bytes bare(withTable.begin(), withTable.begin() + 13);
    bare[10] = 0x10;
    bare.insert(bare.end(), withTable.begin() + 13 + 12, withTable.end());
    const auto gif = Decode(bare);
    ASSERT_TRUE(gif);
    EXPECT_FALSE(gif->backgroundColor);
    EXPECT_EQ(Pixels(gif->frames[0].bitmap), (std::vector<Color32>{K, 0xFF555555, 0xFFAAAAAA, W}));
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
