// Icons decoded by our own reader, which serves the simulated platform's picture service.

#include <gtest/gtest.h>

#include "gfx/decode/IcoDecoder.h"
#include "gfx/decode/PictureFile.h"
#include "platform/Pictures.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/TempDir.h"

namespace {

using gfx::Color32;
using gfx::TBitmap32;
using testing_support::Bytes;
using testing_support::EncodeIco;
using testing_support::IconBitmapImage;

std::vector<Color32> Pixels(const TBitmap32& b) { return {b.Bits(), b.Bits() + b.Width() * b.Height()}; }

// A picture whose every pixel differs, with alpha 0, 128 and 255 in turn.
TBitmap32 Pattern(std::int32_t w, std::int32_t h) {
    TBitmap32 b(w, h);
    for (std::int32_t i = 0; i < w * h; ++i) {
        const auto alpha = static_cast<std::uint8_t>(i % 3 == 0 ? 0 : i % 3 == 1 ? 128 : 255);
        b.Bits()[i] = gfx::MakeColor32(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3),
                                       static_cast<std::uint8_t>(255 - i), alpha);
    }
    return b;
}

TEST(IcoDecoder, TheLargestImageWithItsTransparency) {
    const TBitmap32 small = Pattern(16, 16);
    const TBitmap32 large = Pattern(32, 32);
    // 32 bits with alpha: the alpha as stored.
    const Bytes withAlpha = EncodeIco({{16, 16, 32, IconBitmapImage(small, 32)},
                                       {32, 32, 32, IconBitmapImage(large, 32)},
                                       {32, 32, 24, IconBitmapImage(small, 24)}});
    EXPECT_EQ(gfx::LargestIconSize(withAlpha), (gfx::IntSize{32, 32}));
    const auto decoded = gfx::DecodeIco(withAlpha);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(Pixels(*decoded), Pixels(large));

    // 24 bits: the AND mask makes pixels clear, the others opaque.
    const auto masked = gfx::DecodeIco(EncodeIco({{16, 16, 24, IconBitmapImage(small, 24)}}));
    ASSERT_TRUE(masked);
    for (std::int32_t i = 0; i < 256; ++i) {
        const Color32 pixel = small.Bits()[i];
        const Color32 expected = (pixel & 0x00FFFFFFu) | (gfx::AlphaOf(pixel) < 128 ? 0 : 0xFF000000u);
        ASSERT_EQ(masked->Bits()[i], expected) << i;
    }

    // 32 bits whose alpha is all zero: an old icon that relies on its mask.
    TBitmap32 opaque = small;
    for (std::int32_t i = 0; i < 256; ++i) {
        opaque.Bits()[i] &= 0x00FFFFFFu;
    }
    const auto old = gfx::DecodeIco(EncodeIco({{16, 16, 32, IconBitmapImage(opaque, 32)}}));
    ASSERT_TRUE(old);
    EXPECT_EQ(gfx::AlphaOf(old->Pixel(3, 3)), 255);

    // A PNG image, the largest (256 is stored as 0).
    const TBitmap32 huge = Pattern(256, 256);
    const auto png = gfx::DecodeIco(EncodeIco({{32, 32, 32, IconBitmapImage(large, 32)},
                                               {256, 256, 32, testing_support::EncodePng(huge)}}));
    ASSERT_TRUE(png);
    EXPECT_EQ(Pixels(*png), Pixels(huge));
}

TEST(IcoDecoder, BrokenIconsGiveNothing) {
    const Bytes good = EncodeIco({{16, 16, 32, IconBitmapImage(Pattern(16, 16), 32)}});
    ASSERT_TRUE(gfx::DecodeIco(good));
    for (const std::size_t cut : {0u, 5u, 21u, 60u, 1000u}) {
        EXPECT_FALSE(gfx::DecodeIco(std::span(good).first(cut))) << cut;
    }
    Bytes cursorType = good;
    cursorType[2] = 3;
    EXPECT_FALSE(gfx::DecodeIco(cursorType));
    Bytes farOffset = good;
    farOffset[6 + 15] = 0x7F;
    EXPECT_FALSE(gfx::DecodeIco(farOffset));
    Bytes hugeImage = good;
    hugeImage[22 + 6] = 0x40;  // the image's own width: 0x400010 pixels
    EXPECT_FALSE(gfx::DecodeIco(hugeImage));
}

TEST(IcoDecoder, TheSimulatedSystemDecodesIconsButNotMetafiles) {
    testing_support::TempDir dir;
    const TBitmap32 icon = Pattern(16, 16);
    testing_support::WriteBytes(dir.File("SSIMG.ICO"), EncodeIco({{16, 16, 32, IconBitmapImage(icon, 32)}}));
    testing_support::WriteBytes(dir.File("SSIMG.wmf"), Bytes(64, 1));
    const auto picture = gfx::LoadPictureFile(dir.File("SSIMG.ICO"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(Pixels(picture->frames[0].bitmap), Pixels(icon));
    EXPECT_FALSE(plat::LoadSystemPicture(dir.File("SSIMG.wmf")));
}

}  // namespace
