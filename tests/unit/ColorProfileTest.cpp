// Pictures with an embedded colour profile come out in sRGB: JPEG, PNG and TIFF files made with a
// Display P3 or Adobe RGB profile decode to what Little CMS, and its own jpgicc and tificc, make of
// them; pictures without a profile, or with an sRGB one, keep their values; a profile that cannot
// be used leaves the picture as stored and says why in the trace.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/Trace.h"
#include "gfx/decode/ColorProfile.h"
#include "gfx/decode/PictureFile.h"
#include "gfx/decode/PictureFormats.h"
#include "tests/support/ColorProfiles.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/TempDir.h"

namespace {

using gfx::Color32;
using gfx::TBitmap32;
using gfx::TPictureFormat;
using testing_support::AdobeRgbProfile;
using testing_support::Bytes;
using testing_support::DisplayP3Profile;
using testing_support::GreyProfile;
using testing_support::LibrarySrgbProfile;
using testing_support::LittleCmsToSrgb;
using testing_support::SrgbProfile;

// Colours as a phone stores them: pure red, green and blue of the wide gamut, white, grey, a skin
// tone, a dark blue and a yellow.
const std::vector<Color32> kColours{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF,
                                    0xFF808080, 0xFFE0A080, 0xFF102040, 0xFFF0E010};
constexpr int kBlock = 8;  // one JPEG block a colour, which JPEG keeps best

// The colours in a row of blocks, with `alpha`.
TBitmap32 Patches(std::uint8_t alpha = 255) {
    TBitmap32 b(kBlock * static_cast<std::int32_t>(kColours.size()), kBlock);
    for (std::size_t i = 0; i < kColours.size(); ++i) {
        b.FillRect(gfx::IntRect::FromSize(static_cast<std::int32_t>(i) * kBlock, 0, kBlock, kBlock),
                   (kColours[i] & 0x00FFFFFFu) | Color32{alpha} << 24);
    }
    return b;
}

// Every pixel within `tolerance` of the expected one in each colour channel, alpha exact.
::testing::AssertionResult Near(const TBitmap32& actual, const TBitmap32& expected, int tolerance) {
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height()) {
        return ::testing::AssertionFailure() << "size " << actual.Width() << "x" << actual.Height();
    }
    for (std::int32_t y = 0; y < actual.Height(); ++y) {
        for (std::int32_t x = 0; x < actual.Width(); ++x) {
            const Color32 a = actual.Pixel(x, y);
            const Color32 e = expected.Pixel(x, y);
            const bool near = std::abs(gfx::RedOf(a) - gfx::RedOf(e)) <= tolerance &&
                              std::abs(gfx::GreenOf(a) - gfx::GreenOf(e)) <= tolerance &&
                              std::abs(gfx::BlueOf(a) - gfx::BlueOf(e)) <= tolerance &&
                              gfx::AlphaOf(a) == gfx::AlphaOf(e);
            if (!near) {
                std::ostringstream colours;
                colours << std::hex << "0x" << a << ", expected 0x" << e;
                return ::testing::AssertionFailure() << "at (" << x << "," << y << ") " << colours.str();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The decoded still; empty when decoding failed. `why` gets what DecodePicture says.
TBitmap32 Decoded(TPictureFormat format, const Bytes& bytes, std::string* why = nullptr) {
    auto picture = gfx::DecodePicture(format, bytes, why);
    return picture ? std::move(picture->frames.at(0).bitmap) : TBitmap32();
}

// The bitmap's rows of 8-bit samples, red, green, blue and, with `alpha`, alpha.
std::vector<Bytes> SampleRows(const TBitmap32& b, bool alpha) {
    std::vector<Bytes> rows;
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        Bytes row;
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            const Color32 c = b.Pixel(x, y);
            row.insert(row.end(), {gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)});
            if (alpha) {
                row.push_back(gfx::AlphaOf(c));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

testing_support::TiffImage RgbTiff(const TBitmap32& b, const Bytes& icc) {
    testing_support::TiffImage image{b.Width(), b.Height()};
    image.icc = icc;
    image.rows = SampleRows(b, false);
    return image;
}

testing_support::PngImage RgbaPng(const TBitmap32& b, const Bytes& icc) {
    testing_support::PngImage image{b.Width(), b.Height()};
    image.icc = icc;
    image.rows = SampleRows(b, true);
    return image;
}

// Runs one of Little CMS's own tools on `in`, and decodes what it writes.
TBitmap32 ByTool(const std::string& tool, TPictureFormat format, const Bytes& in) {
    const testing_support::TempDir dir;
    const std::string ext = format == TPictureFormat::Jpeg ? ".jpg" : ".tif";
    testing_support::WriteBytes(dir.File("in" + ext), in);
    const std::string command = tool + " '" + dir.File("in" + ext) + "' '" + dir.File("out" + ext) + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command << " (liblcms2-utils, see scripts/setup.sh)";
    return Decoded(format, testing_support::ReadBytes(dir.File("out" + ext)));
}

TEST(ColorProfile, ConvertsAsLittleCmsDoesAndKeepsAlpha) {
    for (const Bytes* icc : {&DisplayP3Profile(), &AdobeRgbProfile()}) {
        // Every level of each channel alone and of grey, and the patches at three alphas.
        TBitmap32 ramps(256, 4);
        for (std::int32_t v = 0; v < 256; ++v) {
            const auto l = static_cast<std::uint8_t>(v);
            ramps.SetPixel(v, 0, gfx::MakeColor32(l, 0, 0));
            ramps.SetPixel(v, 1, gfx::MakeColor32(0, l, 0));
            ramps.SetPixel(v, 2, gfx::MakeColor32(0, 0, l));
            ramps.SetPixel(v, 3, gfx::MakeColor32(l, l, l, static_cast<std::uint8_t>(255 - l)));
        }
        for (TBitmap32 bitmap : {ramps, Patches(), Patches(128), Patches(0)}) {
            const TBitmap32 expected = LittleCmsToSrgb(*icc, bitmap);
            std::string why = "unset";
            EXPECT_TRUE(gfx::ConvertToSrgb(bitmap, *icc, &why));
            EXPECT_EQ(why, "");
            EXPECT_TRUE(Near(bitmap, expected, 1));
        }
    }
}

TEST(ColorProfile, JpegAndTiffMatchLittleCmsTools) {
    const TBitmap32 patches = Patches();
    for (const Bytes* icc : {&DisplayP3Profile(), &AdobeRgbProfile()}) {
        const Bytes jpeg = testing_support::EncodeJpeg(patches, 100, false, false, *icc);
        const TBitmap32 ours = Decoded(TPictureFormat::Jpeg, jpeg);
        const TBitmap32 theirs = ByTool("jpgicc -q100", TPictureFormat::Jpeg, jpeg);
        // jpgicc writes its result as a JPEG again, which moves a level or two.
        EXPECT_TRUE(Near(ours, theirs, 2));
        EXPECT_FALSE(Near(ours, Decoded(TPictureFormat::Jpeg, testing_support::EncodeJpeg(patches, 100)), 2));

        const Bytes tiff = testing_support::EncodeTiff(RgbTiff(patches, *icc));
        EXPECT_TRUE(Near(Decoded(TPictureFormat::Tiff, tiff), ByTool("tificc", TPictureFormat::Tiff, tiff), 1));
    }
}

TEST(ColorProfile, PngWithAlphaAndReducedJpeg) {
    TBitmap32 patches = Patches(128);
    patches.FillRect({0, 0, 4, 4}, 0x00FF0000);  // clear pixels keep their colour too
    const Bytes png = testing_support::EncodePng(RgbaPng(patches, DisplayP3Profile()));
    EXPECT_TRUE(Near(Decoded(TPictureFormat::Png, png), LittleCmsToSrgb(DisplayP3Profile(), patches), 1));

    // A JPEG decoded at 1/8 for a small rectangle is converted too.
    constexpr Color32 kSkin = 0xFFE0A080;
    TBitmap32 big(512, 512, kSkin);
    const Bytes jpeg = testing_support::EncodeJpeg(big, 100, false, false, DisplayP3Profile());
    const auto picture = gfx::DecodePicture(TPictureFormat::Jpeg, jpeg, nullptr, [](gfx::IntSize) {
        return gfx::IntSize{64, 64};
    });
    ASSERT_TRUE(picture);
    const TBitmap32& small = picture->frames.at(0).bitmap;
    EXPECT_EQ(small.Width(), 64);
    const Color32 skinInSrgb = LittleCmsToSrgb(DisplayP3Profile(), TBitmap32(1, 1, kSkin)).Pixel(0, 0);
    EXPECT_TRUE(Near(small, TBitmap32(64, 64, skinInSrgb), 2));
}

TEST(ColorProfile, LargeJpegConvertedWhileDecoding) {
    // Large enough for the rows to be converted on a second thread, as stored and turned a quarter
    // (then each row passes through a slot before its place in the upright picture).
    TBitmap32 photo(1280, 1024);
    for (std::int32_t y = 0; y < photo.Height(); ++y) {
        for (std::int32_t x = 0; x < photo.Width(); ++x) {
            photo.SetPixel(x, y, gfx::MakeColor32(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                                  static_cast<std::uint8_t>(x * 7 + y * 3)));
        }
    }
    for (const int orientation : {1, 6}) {
        const Bytes plain = testing_support::WithExifOrientation(testing_support::EncodeJpeg(photo, 90), orientation);
        const Bytes p3 = testing_support::WithExifOrientation(
            testing_support::EncodeJpeg(photo, 90, false, false, DisplayP3Profile()), orientation);
        TBitmap32 expected = Decoded(TPictureFormat::Jpeg, plain);
        ASSERT_TRUE(gfx::ConvertToSrgb(expected, DisplayP3Profile()));
        EXPECT_TRUE(Near(Decoded(TPictureFormat::Jpeg, p3), expected, 0)) << "orientation " << orientation;
    }
}

TEST(ColorProfile, JpegLargerThanItsPlaceIsConvertedAtTheSizeOfItsPlace) {
    // A picture that will be drawn smaller is stretched to its place as the layout draws it, and then
    // converted: what the layout then copies onto the frame is the plain picture's drawing, converted.
    // Pale colours, which sRGB holds.
    TBitmap32 photo(1280, 1024);
    for (std::int32_t y = 0; y < photo.Height(); ++y) {
        for (std::int32_t x = 0; x < photo.Width(); ++x) {
            photo.SetPixel(x, y, gfx::MakeColor32(static_cast<std::uint8_t>(112 + x / 40), static_cast<std::uint8_t>(112 + y / 32),
                                                  static_cast<std::uint8_t>(112 + (x + y) / 72)));
        }
    }
    const gfx::IntSize place{500, 400};
    const auto atPlace = [&](gfx::IntSize) { return place; };
    for (const int orientation : {1, 6}) {
        SCOPED_TRACE(orientation);
        const Bytes plain = testing_support::WithExifOrientation(testing_support::EncodeJpeg(photo, 90), orientation);
        const Bytes p3 = testing_support::WithExifOrientation(
            testing_support::EncodeJpeg(photo, 90, false, false, DisplayP3Profile()), orientation);
        auto stored = gfx::DecodePicture(TPictureFormat::Jpeg, plain, nullptr, atPlace);
        ASSERT_TRUE(stored);
        TBitmap32& reduced = stored->frames.at(0).bitmap;
        EXPECT_EQ(reduced.Width() * reduced.Height(), 640 * 512) << "without a profile, decoded at 1/2 as before";

        auto drawLikeTheLayout = [&](const TBitmap32& picture) {
            TBitmap32 source = picture;
            TBitmap32 drawn(place.width, place.height);
            source.SetDrawMode(gfx::DrawMode::Opaque);
            source.DrawTo(drawn, drawn.BoundsRect());
            return drawn;
        };
        TBitmap32 expected = drawLikeTheLayout(reduced);
        ASSERT_TRUE(gfx::ConvertToSrgb(expected, DisplayP3Profile()));
        std::string why = "unset";
        auto picture = gfx::DecodePicture(TPictureFormat::Jpeg, p3, &why, atPlace);
        ASSERT_TRUE(picture);
        EXPECT_EQ(why, "");
        EXPECT_EQ(picture->size, place);
        EXPECT_EQ(picture->frames.at(0).bitmap, expected);

        // Converted before it was stretched, the drawing differed by the rounding alone (for colours
        // that sRGB holds: where the conversion clips a channel, the stretch now averages first).
        TBitmap32 convertedFirst = reduced;
        ASSERT_TRUE(gfx::ConvertToSrgb(convertedFirst, DisplayP3Profile()));
        EXPECT_TRUE(Near(picture->frames.at(0).bitmap, drawLikeTheLayout(convertedFirst), 1));
    }

    // A place larger than the picture leaves it at its own size.
    const Bytes p3 = testing_support::EncodeJpeg(photo, 90, false, false, DisplayP3Profile());
    auto whole = gfx::DecodePicture(TPictureFormat::Jpeg, p3, nullptr, [](gfx::IntSize) { return gfx::IntSize{2000, 1500}; });
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->frames.at(0).bitmap.Width(), photo.Width());
}

TEST(ColorProfile, ProfilesMetAgainConvertAsBefore) {
    // What is made of a profile is kept for the next pictures that carry it: each profile, met again
    // after others, still converts as Little CMS does.
    const TBitmap32 patches = Patches();
    const std::vector<const Bytes*> profiles{&DisplayP3Profile(), &AdobeRgbProfile(), &SrgbProfile(),
                                             &LibrarySrgbProfile(), &GreyProfile(), &DisplayP3Profile(),
                                             &AdobeRgbProfile(), &SrgbProfile(), &DisplayP3Profile()};
    for (const Bytes* icc : profiles) {
        TBitmap32 bitmap = patches;
        const bool used = gfx::ConvertToSrgb(bitmap, *icc);
        if (icc == &GreyProfile()) {
            EXPECT_FALSE(used);
            EXPECT_EQ(bitmap, patches);
        } else if (icc == &SrgbProfile() || icc == &LibrarySrgbProfile()) {
            EXPECT_FALSE(gfx::TSrgbConversion(*icc).Converts());
            EXPECT_EQ(bitmap, patches);
        } else {
            EXPECT_TRUE(Near(bitmap, LittleCmsToSrgb(*icc, patches), 1));
            EXPECT_FALSE(Near(bitmap, patches, 2));
        }
    }
}

TEST(ColorProfile, NoProfileOrSrgbKeepsTheValues) {
    // Every 8-bit value of every channel, where the slightest drift of a conversion would show.
    TBitmap32 all(256, 256);
    for (std::int32_t y = 0; y < 256; ++y) {
        for (std::int32_t x = 0; x < 256; ++x) {
            all.SetPixel(x, y, gfx::MakeColor32(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                                static_cast<std::uint8_t>(x ^ y)));
        }
    }
    EXPECT_EQ(Decoded(TPictureFormat::Png, testing_support::EncodePng(RgbaPng(all, {}))), all);
    for (const Bytes* srgb : {&LibrarySrgbProfile(), &SrgbProfile()}) {
        EXPECT_FALSE(gfx::TSrgbConversion(*srgb).Converts());
        std::string why = "unset";
        EXPECT_EQ(Decoded(TPictureFormat::Png, testing_support::EncodePng(RgbaPng(all, *srgb)), &why), all);
        EXPECT_EQ(why, "");
        EXPECT_EQ(Decoded(TPictureFormat::Tiff, testing_support::EncodeTiff(RgbTiff(all, *srgb))), all);
    }
    EXPECT_TRUE(gfx::TSrgbConversion(DisplayP3Profile()).Converts());
}

TEST(ColorProfile, UnusableProfileLeavesThePictureAndSaysWhy) {
    const TBitmap32 patches = Patches();
    const TBitmap32 stored = Decoded(TPictureFormat::Jpeg, testing_support::EncodeJpeg(patches, 100));
    const Bytes& p3 = DisplayP3Profile();
    Bytes cut(p3.begin(), p3.begin() + static_cast<std::ptrdiff_t>(p3.size() / 2));
    Bytes scrambled = p3;
    for (std::size_t i = 128; i < scrambled.size(); ++i) {
        scrambled[i] = static_cast<std::uint8_t>(scrambled[i] * 37 + 11);
    }
    const Bytes grey = GreyProfile();
    const Bytes text(200, 'x');
    const std::vector<std::pair<const Bytes*, std::string>> cases{
        {&text, "damaged colour profile: "},
        {&cut, "Little CMS refuses the colour profile: "},
        {&scrambled, ""},
        {&grey, "a grey colour profile on an RGB picture"}};
    for (const auto& [icc, reason] : cases) {
        std::string why;
        const Bytes jpeg = testing_support::EncodeJpeg(patches, 100, false, false, *icc);
        EXPECT_EQ(Decoded(TPictureFormat::Jpeg, jpeg, &why), stored);
        EXPECT_NE(why, "");
        EXPECT_EQ(why.substr(0, reason.size()), reason) << why;
        if (!reason.empty() && reason.back() == ' ') {
            EXPECT_GT(why.size(), reason.size()) << "the library's own words follow";
        }
    }

    // Loading the file tells the trace.
    const testing_support::TempDir dir;
    testing_support::WriteBytes(dir.File("grey.jpg"), testing_support::EncodeJpeg(patches, 100, false, false, grey));
    std::vector<std::string> trace;
    core::SetTraceSink([&trace](std::string_view text) { trace.emplace_back(text); });
    const auto picture = gfx::LoadPictureFile(dir.File("grey.jpg"));
    core::SetTraceSink({});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frames.at(0).bitmap, stored);
    EXPECT_EQ(trace,
              std::vector<std::string>{"Picture shown without its colour profile: a grey colour profile on an RGB picture"});
}

}  // namespace
