// Composing the frames of an animation: continuation from the cached picture, the disposal rules,
// a fresh start, transparency by alpha and the fill colour.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "slideshow/GifComposer.h"

namespace gfx {

// Failures show the pixels, row by row.
void PrintTo(const TBitmap32& b, std::ostream* os) {
    *os << b.Width() << "x" << b.Height() << " {";
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            *os << (x == 0 && y > 0 ? " / " : " ") << std::hex << b.Pixel(x, y) << std::dec;
        }
    }
    *os << " }";
}

}  // namespace gfx

namespace {

using gfx::Color32;
using gfx::IntRect;
using gfx::TBitmap32;
using gfx::TDisposal;

constexpr Color32 kRed = 0xFFFF0000u;
constexpr Color32 kGreen = 0xFF00FF00u;
constexpr Color32 kBlue = 0xFF0000FFu;
constexpr Color32 kWindow = 0x00FFFFFFu;  // the fill of a GIF without transparency

gfx::TPictureFrame Solid(const IntRect& r, Color32 color, TDisposal disposal = TDisposal::Unspecified) {
    gfx::TPictureFrame f;
    f.bitmap.SetSize(r.Width(), r.Height(), color);
    f.position = {r.left, r.top};
    f.disposal = disposal;
    f.delayMs = 100;
    return f;
}

// A frame of the given colour whose transparent colour is `clear`: pixels listed get alpha 0.
gfx::TPictureFrame Holey(const IntRect& r, Color32 color, Color32 clear, std::initializer_list<gfx::IntPoint> holes,
                         TDisposal disposal = TDisposal::Unspecified) {
    gfx::TPictureFrame f = Solid(r, color, disposal);
    f.transparentIndex = 3;
    f.transparentColor = clear;
    for (const auto p : holes) {
        f.bitmap.SetPixel(p.x, p.y, clear & 0x00FFFFFFu);
    }
    return f;
}

gfx::TPicture Animation(std::vector<gfx::TPictureFrame> frames) {
    gfx::TPicture p;
    p.size = {4, 2};
    p.frames = std::move(frames);
    return p;
}

// The 4 x 2 picture from its pixels, top row first.
TBitmap32 Rows(std::initializer_list<Color32> pixels) {
    TBitmap32 b(4, 2);
    std::copy(pixels.begin(), pixels.end(), b.Bits());
    return b;
}

TEST(GifComposer, ContinuesFromTheCacheAndRestoresAFrameToTheFill) {
    const auto picture =
        Animation({Solid({0, 0, 4, 2}, kRed), Solid({0, 0, 2, 1}, kGreen, TDisposal::RestoreBackground),
                   Solid({3, 1, 4, 2}, kBlue, TDisposal::DoNotDispose), Solid({1, 0, 2, 2}, kBlue)});
    show::TGifComposer composer(picture);
    EXPECT_EQ(composer.Compose(0), Rows({kRed, kRed, kRed, kRed, kRed, kRed, kRed, kRed}));
    EXPECT_EQ(composer.Compose(1), Rows({kGreen, kGreen, kRed, kRed, kRed, kRed, kRed, kRed}));
    const TBitmap32 second = Rows({kWindow, kWindow, kRed, kRed, kRed, kRed, kRed, kBlue});
    EXPECT_EQ(composer.Compose(2), second);
    EXPECT_EQ(composer.Compose(3), Rows({kWindow, kBlue, kRed, kRed, kRed, kBlue, kRed, kBlue}));

    show::TGifComposer fresh(picture);
    EXPECT_EQ(fresh.Compose(2), second) << "a fresh start replays to the same picture";
    EXPECT_EQ(fresh.Compose(0), composer.Compose(0)) << "looping back starts afresh";
}

TEST(GifComposer, AFrameRestoredToThePreviousIsLeftOutAndEndsTheContinuation) {
    const auto picture = Animation({Solid({0, 0, 4, 2}, kRed), Solid({0, 0, 2, 2}, kGreen, TDisposal::RestorePrevious),
                                    Solid({3, 0, 4, 1}, kBlue)});
    show::TGifComposer composer(picture);
    composer.Compose(0);
    EXPECT_EQ(composer.Compose(1), Rows({kGreen, kGreen, kRed, kRed, kGreen, kGreen, kRed, kRed}));
    EXPECT_EQ(composer.Compose(2), Rows({kRed, kRed, kRed, kBlue, kRed, kRed, kRed, kRed}));
}

TEST(GifComposer, AFullOpaqueFrameRestoredToThePreviousIsNoStartFrame) {
    // Frame 1 covers the screen without transparency, but what shows after it is frame 0 again.
    const auto picture = Animation({Solid({0, 0, 4, 2}, kRed, TDisposal::DoNotDispose),
                                    Solid({0, 0, 4, 2}, kGreen, TDisposal::RestorePrevious), Solid({3, 0, 4, 1}, kBlue),
                                    Solid({0, 0, 4, 2}, kGreen), Solid({0, 0, 1, 1}, kBlue)});
    show::TGifComposer composer(picture);
    EXPECT_EQ(composer.Compose(2), Rows({kRed, kRed, kRed, kBlue, kRed, kRed, kRed, kRed}));
    EXPECT_EQ(composer.Compose(4), Rows({kBlue, kGreen, kGreen, kGreen, kGreen, kGreen, kGreen, kGreen}))
        << "frame 3 is a start frame: it hides everything before it";
}

TEST(GifComposer, TransparencyGoesByAlphaNotByColour) {
    // Frame 1's transparent colour is green; its pixel (1, 0) is an opaque green of another index.
    auto top = Holey({0, 0, 4, 2}, kBlue, kGreen, {{0, 0}});
    top.bitmap.SetPixel(1, 0, kGreen);
    show::TGifComposer composer(Animation({Solid({0, 0, 4, 2}, kRed), top}));
    composer.Compose(0);
    EXPECT_EQ(composer.Compose(1), Rows({kRed, kGreen, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue}));
}

TEST(GifComposer, TheFillColourComesFromTheFirstFrameTheBackgroundOrTheWindow) {
    const Color32 magenta = 0xFFFF00FFu;
    const Color32 clear = 0x00FF00FFu;
    show::TGifComposer keyed(Animation({Holey({1, 0, 3, 2}, kRed, magenta, {{0, 0}}), Solid({0, 0, 4, 2}, kBlue)}));
    EXPECT_EQ(keyed.FillColor(), clear);
    EXPECT_EQ(keyed.Compose(0), Rows({clear, clear, kRed, clear, clear, kRed, kRed, clear}))
        << "the hole and what the frame does not reach";

    auto withBackground = Animation({Solid({1, 0, 3, 2}, kRed), Holey({0, 0, 4, 2}, kBlue, magenta, {})});
    withBackground.backgroundColor = kGreen;
    EXPECT_EQ(show::TGifComposer(withBackground).FillColor(), 0x0000FF00u);

    auto opaque = Animation({Solid({1, 0, 3, 2}, kRed), Solid({0, 0, 4, 2}, kBlue)});
    opaque.backgroundColor = kGreen;
    EXPECT_EQ(show::TGifComposer(opaque).FillColor(), kWindow) << "no frame is transparent";
}

}  // namespace
