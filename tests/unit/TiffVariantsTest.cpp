// TIFF pages that libtiff's RGBA interface refuses or shows in the wrong colours, made with libtiff:
// alpha of both kinds, CIELab, signed, 12-bit and floating-point samples, 16-bit CMYK, planes and
// tiles, each to the right colours; and the ones no reader can show, refused with a reason.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <tiffio.h>

#include "gfx/decode/PictureFormats.h"
#include "tests/support/PictureEncoders.h"

namespace {

using gfx::Color32;
using testing_support::PackSamples;
using testing_support::TiffImage;

// A page of one row whose pixels are the given samples, `samples` of them each.
TiffImage Row(int samples, int bits, int photometric, const std::vector<std::uint64_t>& values, int format = 1) {
    TiffImage image{static_cast<int>(values.size()) / samples, 1, samples, bits, format, photometric};
    image.rows = {PackSamples(values, bits)};
    return image;
}

std::vector<Color32> Decode(const TiffImage& image) {
    std::string why;
    const auto picture = gfx::DecodePicture(gfx::TPictureFormat::Tiff, testing_support::EncodeTiff(image), &why);
    if (!picture) {
        ADD_FAILURE() << why;
        return {};
    }
    const gfx::TBitmap32& b = picture->frames[0].bitmap;
    return {b.Bits(), b.Bits() + b.Width() * b.Height()};
}

std::string Refusal(const TiffImage& image) {
    std::string why;
    EXPECT_FALSE(gfx::DecodePicture(gfx::TPictureFormat::Tiff, testing_support::EncodeTiff(image), &why));
    return why;
}

std::uint64_t Float(double v, int bits) { return testing_support::FloatBits(v, bits); }

TEST(TiffVariants, AlphaIsKeptAndAssociatedAlphaIsDividedOut) {
    // Unassociated: the colours as stored (libtiff's interface would multiply them by the alpha).
    TiffImage straight = Row(4, 8, PHOTOMETRIC_RGB, {200, 100, 50, 128, 10, 20, 30, 0, 255, 255, 255, 255});
    straight.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    EXPECT_EQ(Decode(straight), (std::vector<Color32>{0x80C86432, 0x000A141E, 0xFFFFFFFF}));

    // Associated: 100, 50, 25 at alpha 128 are 199, 100, 50 unmultiplied.
    TiffImage premultiplied = Row(4, 8, PHOTOMETRIC_RGB, {100, 50, 25, 128, 0, 0, 0, 0});
    premultiplied.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    EXPECT_EQ(Decode(premultiplied), (std::vector<Color32>{0x80C76432, 0x00000000}));

    // 16-bit grey with alpha; an unspecified extra sample is no alpha.
    TiffImage grey = Row(2, 16, PHOTOMETRIC_MINISBLACK, {0x8080, 0xFFFF, 0xFFFF, 0x4000});
    grey.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    EXPECT_EQ(Decode(grey), (std::vector<Color32>{0xFF808080, 0x40FFFFFF}));
    TiffImage unspecified = Row(2, 8, PHOTOMETRIC_MINISBLACK, {0x40, 0x00});
    unspecified.extraSamples = {EXTRASAMPLE_UNSPECIFIED};
    EXPECT_EQ(Decode(unspecified), (std::vector<Color32>{0xFF404040}));
}

TEST(TiffVariants, CieLabIsShownInSrgbRelativeToD50) {
    // Neutrals stay neutral: white, black, and L* 50.2 (128 of 255), which is sRGB 119.
    EXPECT_EQ(Decode(Row(3, 8, PHOTOMETRIC_CIELAB, {255, 0, 0, 0, 0, 0, 128, 0, 0})),
              (std::vector<Color32>{0xFFFFFFFF, 0xFF000000, 0xFF777777}));
    // sRGB red is L* 54.29, a* 80.81, b* 69.89 against D50: a* and b* are signed, in 256ths at 16 bits.
    const auto red16 = Decode(Row(3, 16, PHOTOMETRIC_CIELAB, {35579, 20687, 17892, 65535, 0, 0}));
    ASSERT_EQ(red16.size(), 2u);
    EXPECT_GE(gfx::RedOf(red16[0]), 252);
    EXPECT_LE(gfx::GreenOf(red16[0]), 3);
    EXPECT_LE(gfx::BlueOf(red16[0]), 3);
    EXPECT_EQ(red16[1], 0xFFFFFFFF);
    // A negative a* (stored as its two's complement) is green, a negative b* blue.
    const auto cool = Decode(Row(3, 8, PHOTOMETRIC_CIELAB, {200, 0x100 - 60, 0, 100, 0, 0x100 - 80}));
    EXPECT_GT(gfx::GreenOf(cool[0]), gfx::RedOf(cool[0]) + 60);
    EXPECT_GT(gfx::BlueOf(cool[1]), gfx::RedOf(cool[1]) + 60);
}

TEST(TiffVariants, SignedSamplesSpanTheirWholeRangeOrTheGivenOne) {
    EXPECT_EQ(Decode(Row(1, 16, PHOTOMETRIC_MINISBLACK, {0x8000, 0, 0x7FFF}, SAMPLEFORMAT_INT)),
              (std::vector<Color32>{0xFF000000, 0xFF808080, 0xFFFFFFFF}));
    EXPECT_EQ(Decode(Row(3, 16, PHOTOMETRIC_RGB, {0x7FFF, 0x8000, 0xC000}, SAMPLEFORMAT_INT)),
              (std::vector<Color32>{0xFFFF0040}));
    // SMinSampleValue -100 and SMaxSampleValue 100: -100 black, 50 three quarters, 100 white.
    TiffImage ranged = Row(1, 8, PHOTOMETRIC_MINISBLACK, {0x100 - 100, 50, 100, 0x100 - 128}, SAMPLEFORMAT_INT);
    ranged.range = {{-100.0, 100.0}};
    EXPECT_EQ(Decode(ranged), (std::vector<Color32>{0xFF000000, 0xFFBFBFBF, 0xFFFFFFFF, 0xFF000000}));
}

TEST(TiffVariants, OddDepthsSpanTheirLargestValue) {
    EXPECT_EQ(Decode(Row(1, 12, PHOTOMETRIC_MINISBLACK, {0, 2048, 4095})),
              (std::vector<Color32>{0xFF000000, 0xFF808080, 0xFFFFFFFF}));
    EXPECT_EQ(Decode(Row(3, 12, PHOTOMETRIC_RGB, {4095, 0, 2048, 1, 4094, 0})),
              (std::vector<Color32>{0xFFFF0080, 0xFF00FF00}));
    EXPECT_EQ(Decode(Row(1, 12, PHOTOMETRIC_MINISWHITE, {0, 4095})), (std::vector<Color32>{0xFFFFFFFF, 0xFF000000}));
    EXPECT_EQ(Decode(Row(1, 32, PHOTOMETRIC_MINISBLACK, {0xFFFFFFFF, 0x80000000})),
              (std::vector<Color32>{0xFFFFFFFF, 0xFF808080}));
    EXPECT_EQ(Decode(Row(1, 24, PHOTOMETRIC_MINISBLACK, {0xFFFFFF, 0x404040})),
              (std::vector<Color32>{0xFFFFFFFF, 0xFF404040}));
}

TEST(TiffVariants, FloatingPointSpansZeroToOneOrTheGivenRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Decode(Row(1, 32, PHOTOMETRIC_MINISBLACK,
                         {Float(0, 32), Float(0.5, 32), Float(1, 32), Float(2, 32), Float(-1, 32), Float(nan, 32)},
                         SAMPLEFORMAT_IEEEFP)),
              (std::vector<Color32>{0xFF000000, 0xFF808080, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000}));
    EXPECT_EQ(Decode(Row(3, 16, PHOTOMETRIC_RGB, {Float(1, 16), Float(0.5, 16), Float(0, 16)}, SAMPLEFORMAT_IEEEFP)),
              (std::vector<Color32>{0xFFFF8000}));
    EXPECT_EQ(
        Decode(Row(3, 64, PHOTOMETRIC_RGB, {Float(0.25, 64), Float(0.75, 64), Float(1, 64)}, SAMPLEFORMAT_IEEEFP)),
        (std::vector<Color32>{0xFF40BFFF}));
    TiffImage ranged = Row(1, 32, PHOTOMETRIC_MINISBLACK, {Float(500, 32), Float(1000, 32)}, SAMPLEFORMAT_IEEEFP);
    ranged.range = {{0.0, 1000.0}};
    EXPECT_EQ(Decode(ranged), (std::vector<Color32>{0xFF808080, 0xFFFFFFFF}));
}

TEST(TiffVariants, SixteenBitCmykIsInk) {
    EXPECT_EQ(Decode(Row(4, 16, PHOTOMETRIC_SEPARATED,
                         {65535, 0, 0, 0, 0, 0, 0, 65535, 0, 0, 0, 32768, 0, 65535, 65535, 0, 0, 0, 0, 0})),
              (std::vector<Color32>{0xFF00FFFF, 0xFF000000, 0xFF7F7F7F, 0xFFFF0000, 0xFFFFFFFF}));
}

TEST(TiffVariants, SeparatePlanesAndTilesComeTogether) {
    // 20 x 17 in 16 x 16 tiles: partial tiles at the right and the bottom; one plane a colour.
    TiffImage tiled{20, 17, 3, 64, SAMPLEFORMAT_IEEEFP, PHOTOMETRIC_RGB};
    tiled.separate = true;
    tiled.tileSize = 16;
    for (int plane = 0; plane < 3; ++plane) {
        for (int y = 0; y < 17; ++y) {
            std::vector<std::uint64_t> row;
            for (int x = 0; x < 20; ++x) {
                const double v = plane == 0 ? x / 19.0 : plane == 1 ? y / 16.0 : 1.0;
                row.push_back(Float(v, 64));
            }
            tiled.rows.push_back(PackSamples(row, 64));
        }
    }
    const auto pixels = Decode(tiled);
    ASSERT_EQ(pixels.size(), 20u * 17u);
    EXPECT_EQ(pixels[0], 0xFF0000FF);
    EXPECT_EQ(pixels[19], 0xFFFF00FF);
    EXPECT_EQ(pixels[16 * 20 + 19], 0xFFFFFFFF) << "the last pixel, in the corner tile";
    EXPECT_EQ(pixels[8 * 20 + 17], static_cast<Color32>(0xFF0000FF | std::lround(17 / 19.0 * 255) << 16 | 128 << 8));
}

TEST(TiffVariants, WhatNoReaderCanShowIsRefusedWithAReason) {
    EXPECT_EQ(Refusal(Row(1, 24, PHOTOMETRIC_MINISBLACK, {0}, SAMPLEFORMAT_IEEEFP)), "24-bit floating-point samples");
    TiffImage inks = Row(4, 16, PHOTOMETRIC_SEPARATED, {0, 0, 0, 0});
    inks.inkSet = INKSET_MULTIINK;
    EXPECT_EQ(Refusal(inks), "inks other than CMYK");
    EXPECT_EQ(Refusal(Row(1, 12, PHOTOMETRIC_CIELAB, {0})), "12-bit CIELab samples");
    EXPECT_EQ(Refusal(Row(1, 8, PHOTOMETRIC_ICCLAB, {0, 0, 0})).rfind("Sorry, can not handle", 0), 0u);
}

}  // namespace
