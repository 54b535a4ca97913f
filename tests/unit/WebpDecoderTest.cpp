// WebP: libwebp's own test picture shows as its reference dump, lossy and lossless pictures as
// its own decoder shows them, alpha kept; an animation gives each frame whole with its delay and
// the file's loop count, which the GIF composer then shows as it is; the animation limits hold;
// damaged files and sizes beyond the pixel cap are refused with a reason.

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/decode/PictureFormats.h"
#include "gfx/decode/WebpDecoder.h"
#include "slideshow/GifComposer.h"
#include "tests/support/ReferenceTools.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebpEncoder.h"

namespace fs = std::filesystem;

namespace {

using gfx::Color32;
using gfx::TBitmap32;
using testing_support::MaxDifference;
using testing_support::ReadBytes;
using testing_support::ReadNetpbm;
using testing_support::RunTool;
using testing_support::WebpFrame;
using Decoded = testing_support::DecodedPicture;
using Bytes = std::vector<std::uint8_t>;

const fs::path kLibwebp = SAVER_LIBWEBP_SOURCES;

Decoded Decode(const Bytes& bytes) { return testing_support::DecodeWithReason(gfx::TPictureFormat::Webp, bytes); }

// A picture of gradients in every channel, alpha included but never 0 (under which the lossless
// encoder is free to change the colour).
TBitmap32 Gradients(int w, int h, bool alpha) {
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            b.SetPixel(x, y,
                       gfx::MakeColor32(static_cast<std::uint8_t>(x * 255 / w), static_cast<std::uint8_t>(y * 255 / h),
                                        static_cast<std::uint8_t>((x + y) * 4),
                                        alpha ? static_cast<std::uint8_t>(20 + x * 3) : 255));
        }
    }
    return b;
}

class WebpPictures : public testing_support::ReferenceToolTest {
protected:
    // libwebp's own decoder, with straight alpha as ours: its PAM dump.
    TBitmap32 Dwebp(const fs::path& file) {
        const fs::path pam = Folder() / "reference.pam";
        RunTool("dwebp '" + file.string() + "' -pam -o '" + pam.string() + "'", Folder().string());
        return ReadNetpbm(pam.string());
    }
};

// Exactly, everywhere, as libwebp's own tool shows them: both are libwebp's decoding into 8-bit
// samples with straight alpha. libwebp's reference dump of its test picture is older than the
// rounding of its present YUV to RGB conversion: the tool itself differs from it by 1 in about a
// quarter of the samples, and so may we.
TEST_F(WebpPictures, StillsShowAsLibwebpShowsThem) {
    const fs::path testWebp = kLibwebp / "examples/test.webp";
    const Decoded test = Decode(ReadBytes(testWebp.string()));
    ASSERT_TRUE(test.picture) << test.why;
    EXPECT_EQ(test.Still(), Dwebp(testWebp));
    EXPECT_LE(MaxDifference(test.Still(), ReadNetpbm((kLibwebp / "examples/test_ref.ppm").string())), 1)
        << "libwebp's reference dump";

    const TBitmap32 source = Gradients(67, 41, true);
    const fs::path lossy = Put("lossy.webp", testing_support::EncodeWebp(source, false, 80));
    const Decoded d = Decode(ReadBytes(lossy.string()));
    ASSERT_TRUE(d.picture) << d.why;
    EXPECT_EQ(d.Still(), Dwebp(lossy));
    EXPECT_EQ(d.picture->size, (gfx::IntSize{67, 41}));
    EXPECT_EQ(d.picture->frames.size(), 1u);

    const Decoded lossless = Decode(testing_support::EncodeWebp(source, true));
    ASSERT_TRUE(lossless.picture) << lossless.why;
    EXPECT_EQ(lossless.Still(), source) << "lossless with alpha: every sample as made";
}

// Three frames of 50, 70 and 90 ms: red; a blue square with the rest transparent; green.
std::vector<WebpFrame> ThreeFrames() {
    std::vector<WebpFrame> frames(3);
    frames[0] = {TBitmap32(12, 10, 0xFFFF0000u), 50};
    frames[1] = {TBitmap32(12, 10, 0x00000000u), 70};
    frames[1].bitmap.FillRect({2, 2, 6, 6}, 0xFF0000FFu);
    frames[2] = {TBitmap32(12, 10, 0xFF00FF00u), 90};
    frames[2].bitmap.FillRect({8, 0, 12, 4}, 0x80FFFFFFu);
    return frames;
}

TEST_F(WebpPictures, AnAnimationGivesEveryFrameWholeWithItsDelayAndLoopCount) {
    const std::vector<WebpFrame> frames = ThreeFrames();
    const Decoded d = Decode(testing_support::EncodeAnimatedWebp(frames, 0));
    ASSERT_TRUE(d.picture) << d.why;
    const gfx::TPicture& p = *d.picture;
    EXPECT_EQ(p.size, (gfx::IntSize{12, 10}));
    ASSERT_EQ(p.frames.size(), 3u);
    EXPECT_EQ(p.loopCount, std::optional<std::uint16_t>(0)) << "for ever";
    show::TGifComposer composer(p);
    for (std::size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(p.frames[k].delayMs, frames[k].delayMs);
        EXPECT_EQ(p.frames[k].position, (gfx::IntPoint{0, 0}));
        EXPECT_EQ(p.frames[k].bitmap, frames[k].bitmap) << "the whole canvas, transparency included";
        // The composer shows each frame as it is: where frame 1 is transparent, frame 0's red
        // does not show through.
        const TBitmap32& composed = composer.Compose(static_cast<std::int32_t>(k));
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 12; ++x) {
                const Color32 own = frames[k].bitmap.Pixel(x, y);
                ASSERT_EQ(composed.Pixel(x, y), gfx::AlphaOf(own) == 0 ? composer.FillColor() : own) << x << "," << y;
            }
        }
    }
    // Composed afresh, out of order, the same.
    show::TGifComposer fresh(p);
    EXPECT_EQ(fresh.Compose(2), composer.Compose(2));
    EXPECT_EQ(show::TGifComposer(p).Compose(1), show::TGifComposer(p).Compose(1));
    EXPECT_EQ(show::TGifComposer(p).Compose(1).Pixel(0, 0), composer.FillColor());

    const Decoded thrice = Decode(testing_support::EncodeAnimatedWebp(frames, 3));
    ASSERT_TRUE(thrice.picture);
    EXPECT_EQ(thrice.picture->loopCount, std::optional<std::uint16_t>(3));
    const Decoded once = Decode(testing_support::EncodeAnimatedWebp(frames, 1));
    ASSERT_TRUE(once.picture);
    EXPECT_EQ(once.picture->loopCount, std::nullopt) << "played once, like a GIF without the looping extension";
}

TEST_F(WebpPictures, AnAnimationEndsAtItsLimits) {
    const Bytes bytes = testing_support::EncodeAnimatedWebp(ThreeFrames(), 0);
    gfx::TWebpDecoder byCount({.frames = 2});
    ASSERT_TRUE(byCount.Open(bytes));
    const auto two = byCount.Frames();
    ASSERT_TRUE(two);
    EXPECT_EQ(two->frames.size(), 2u);

    gfx::TWebpDecoder byPixels({.pixels = 12 * 10 * 2 + 119});
    ASSERT_TRUE(byPixels.Open(bytes));
    const auto fitted = byPixels.Frames();
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->frames.size(), 2u);

    gfx::TWebpDecoder none({.pixels = 119});
    ASSERT_TRUE(none.Open(bytes));
    EXPECT_FALSE(none.Frames());
    EXPECT_FALSE(none.Failure().empty());
}

TEST_F(WebpPictures, AnEmbeddedIccProfileIsHandedOn) {
    Bytes icc;
    for (int i = 0; i < 300; ++i) {
        icc.push_back(static_cast<std::uint8_t>(i * 7));
    }
    const TBitmap32 picture = Gradients(9, 7, false);
    for (const Bytes& bytes : {testing_support::EncodeWebp(picture, false), testing_support::EncodeWebp(picture, true),
                               testing_support::EncodeAnimatedWebp(ThreeFrames(), 0)}) {
        SCOPED_TRACE(bytes.size());
        const Bytes withIcc = testing_support::WithIccChunk(bytes, icc);
        gfx::TWebpDecoder with;
        ASSERT_TRUE(with.Open(withIcc)) << with.Failure();
        EXPECT_EQ(with.IccProfile(), icc);
        const auto frames = with.Frames();
        ASSERT_TRUE(frames) << with.Failure();
        gfx::TWebpDecoder without;
        ASSERT_TRUE(without.Open(bytes));
        EXPECT_TRUE(without.IccProfile().empty());
        EXPECT_EQ(without.Frames()->frames.front().bitmap, frames->frames.front().bitmap) << "colours as coded";
    }
}

TEST_F(WebpPictures, ADamagedFileGivesLibwebpsReason) {
    const Bytes whole = ReadBytes((kLibwebp / "examples/test.webp").string());
    const Bytes animation = testing_support::EncodeAnimatedWebp(ThreeFrames(), 0);
    for (const Bytes* source : {&whole, &animation}) {
        for (const std::size_t cut : {std::size_t{0}, std::size_t{20}, source->size() / 2}) {
            SCOPED_TRACE(cut);
            const Bytes part(source->begin(), source->begin() + static_cast<std::ptrdiff_t>(cut));
            gfx::TWebpDecoder decoder;
            EXPECT_FALSE(testing_support::OpenAndDecode(decoder, part));
            EXPECT_FALSE(decoder.Failure().empty());
            if (source == &whole && cut > 0) {
                // libwebp's own tool names the same status.
                const fs::path file = Put("cut.webp", part);
                const std::string said = RunTool("dwebp '" + file.string() + "' -o /dev/null", Folder().string());
                EXPECT_NE(said.find(decoder.Failure()), std::string::npos) << decoder.Failure() << " / " << said;
            }
        }
    }
}

TEST_F(WebpPictures, ACanvasBeyondThePixelCapIsRefusedBeforeDecoding) {
    // An animation whose canvas (the extended header's, 24 bits each less one) claims
    // 16000 x 2098, beyond 2^25 pixels.
    Bytes bytes = testing_support::EncodeAnimatedWebp(ThreeFrames(), 0);
    ASSERT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "VP8X");
    const auto put24 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 3; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    put24(24, 16000 - 1);
    put24(27, 2098 - 1);
    gfx::TWebpDecoder decoder;
    EXPECT_FALSE(decoder.Open(bytes));
    EXPECT_EQ(decoder.Failure(), gfx::BeyondCap(16000, 2098));
    EXPECT_EQ(decoder.StatedSize(), (gfx::IntSize{16000, 2098}));
    EXPECT_FALSE(decoder.Frames());
}

// A still much larger than its place is decoded at that place's size, its quarters where they were;
// one less than twice its place, and an animation, are decoded whole.
TEST_F(WebpPictures, ALargeStillIsDecodedAtTheSizeOfItsPlace) {
    TBitmap32 quarters(400, 300, 0xFFD02020u);
    quarters.FillRect({200, 0, 400, 150}, 0xFF20D020u);
    quarters.FillRect({0, 150, 200, 300}, 0xFF2020D0u);
    quarters.FillRect({200, 150, 400, 300}, 0xFFF0F0F0u);
    const Bytes still = testing_support::EncodeWebp(quarters, true);
    const auto decodeFor = [](const Bytes& bytes, gfx::IntSize place) {
        std::string why;
        auto picture = gfx::DecodePicture(gfx::TPictureFormat::Webp, bytes, &why, [&](gfx::IntSize own) {
            EXPECT_EQ(own, (gfx::IntSize{400, 300}));
            return place;
        });
        EXPECT_TRUE(picture) << why;
        return picture ? std::move(picture->frames.front().bitmap) : TBitmap32();
    };

    const TBitmap32 reduced = decodeFor(still, {150, 60});
    ASSERT_EQ(reduced.Width(), 150);
    ASSERT_EQ(reduced.Height(), 113) << "the wider ratio, so that both sides cover the place";
    EXPECT_EQ(reduced.Pixel(37, 28), 0xFFD02020u);
    EXPECT_EQ(reduced.Pixel(112, 28), 0xFF20D020u);
    EXPECT_EQ(reduced.Pixel(37, 85), 0xFF2020D0u);
    EXPECT_EQ(reduced.Pixel(112, 85), 0xFFF0F0F0u);

    const TBitmap32 whole = decodeFor(still, {201, 100});
    EXPECT_EQ(whole, quarters) << "not twice as wide as its place";

    std::vector<WebpFrame> frames(2);
    frames[0] = {quarters, 40};
    frames[1] = {TBitmap32(400, 300, 0xFF000000u), 40};
    const TBitmap32 first = decodeFor(testing_support::EncodeAnimatedWebp(frames, 0), {100, 75});
    EXPECT_EQ(first.Width(), 400);
}

}  // namespace
