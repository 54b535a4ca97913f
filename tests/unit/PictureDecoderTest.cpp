// JPEG, PNG and TIFF files made by the libraries' own encoders decode to the pixels put in; broken
// and oversized files give nothing; the dispatcher picks decoders by extension.

#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "gfx/decode/JpegDecoder.h"
#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureFile.h"
#include "gfx/decode/PictureFormats.h"
#include "gfx/decode/PngDecoder.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/TempDir.h"

namespace {

using gfx::Color32;
using gfx::TBitmap32;
using gfx::TPictureFormat;
using testing_support::Bytes;

constexpr Color32 R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;

TBitmap32 Bitmap(std::int32_t w, std::int32_t h, const std::vector<Color32>& pixels) {
    TBitmap32 b(w, h);
    std::copy(pixels.begin(), pixels.end(), b.Bits());
    return b;
}

std::vector<Color32> Pixels(const TBitmap32& b) { return {b.Bits(), b.Bits() + b.Width() * b.Height()}; }

// The single frame of a still picture; an empty bitmap when decoding failed.
TBitmap32 Still(TPictureFormat format, const Bytes& bytes) {
    auto picture = gfx::DecodePicture(format, bytes);
    if (!picture) {
        return {};
    }
    EXPECT_EQ(picture->frames.size(), 1u);
    EXPECT_EQ(picture->frames[0].position, (gfx::IntPoint{0, 0}));
    EXPECT_EQ(picture->size, (gfx::IntSize{picture->frames[0].bitmap.Width(), picture->frames[0].bitmap.Height()}));
    return std::move(picture->frames[0].bitmap);
}

// Four 8 x 8 blocks of plain colours: what JPEG keeps best.
TBitmap32 Quadrants(Color32 a, Color32 b, Color32 c, Color32 d) {
    TBitmap32 q(16, 16);
    q.FillRect({0, 0, 8, 8}, a);
    q.FillRect({8, 0, 16, 8}, b);
    q.FillRect({0, 8, 8, 16}, c);
    q.FillRect({8, 8, 16, 16}, d);
    return q;
}

void ExpectNear(const TBitmap32& actual, const TBitmap32& expected, int tolerance) {
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    for (std::int32_t y = 0; y < expected.Height(); ++y) {
        for (std::int32_t x = 0; x < expected.Width(); ++x) {
            const Color32 a = actual.Pixel(x, y);
            const Color32 e = expected.Pixel(x, y);
            ASSERT_EQ(gfx::AlphaOf(a), 255);
            ASSERT_LE(std::abs(gfx::RedOf(a) - gfx::RedOf(e)), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(gfx::GreenOf(a) - gfx::GreenOf(e)), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(gfx::BlueOf(a) - gfx::BlueOf(e)), tolerance) << x << "," << y;
        }
    }
}

// Sets a big-endian 32-bit value and fixes the CRC of the PNG chunk around it.
void PatchPngHeader(Bytes& png, std::uint32_t width, std::uint32_t height) {
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
        png[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
    const auto crc = static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17));  // "IHDR" and its 13 bytes
    for (int i = 0; i < 4; ++i) {
        png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
}

// Sets the frame size in a JPEG's start-of-frame header.
void PatchJpegSize(Bytes& jpeg, std::uint16_t width, std::uint16_t height) {
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return;
        }
    }
    FAIL() << "no frame header";
}

TEST(PngDecoder, ColourTypesAlphaAndSixteenBitsDecodeExactly) {
    const TBitmap32 rgba = Bitmap(3, 2, {0x80FF0000, 0x00000000, 0xFF00FF00, 0xFF0000FF, 0x40FFFFFF, 0xFF123456});
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(rgba))), Pixels(rgba));

    // RGB and 16-bit RGBA (each sample v * 257 reduces to v).
    testing_support::PngImage rgb{2, 1, 2, 8, false, {{255, 0, 0, 1, 2, 3}}};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(rgb))),
              (std::vector<Color32>{R, 0xFF010203}));
    testing_support::PngImage wide{1, 1, 6, 16, false, {{0x12, 0x12, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80}}};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(wide))), (std::vector<Color32>{0x8012FF00}));

    // Grey with alpha, and 16-bit grey.
    testing_support::PngImage greyAlpha{2, 1, 4, 8, false, {{0x40, 0xFF, 0xC0, 0x10}}};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(greyAlpha))),
              (std::vector<Color32>{0xFF404040, 0x10C0C0C0}));
    testing_support::PngImage grey16{1, 1, 0, 16, false, {{0x7F, 0x7F}}};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(grey16))),
              (std::vector<Color32>{0xFF7F7F7F}));
}

TEST(PngDecoder, PalettesAndGreyAtSmallDepths) {
    // 1, 2 and 4 bits an index; the palette's alpha is kept.
    const std::vector<Color32> palette = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF};
    testing_support::PngImage one{3, 1, 3, 1, false, {{0b10100000}}, {R, G}};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(one))), (std::vector<Color32>{G, R, G}));
    testing_support::PngImage two{3, 1, 3, 2, false, {{0b11100100}}, palette};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(two))),
              (std::vector<Color32>{W, 0x000000FF, 0x8000FF00}));
    testing_support::PngImage four{2, 1, 3, 4, false, {{0x30}}, palette};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(four))), (std::vector<Color32>{W, R}));

    // Grey levels scale to 0..255.
    testing_support::PngImage grey1{2, 1, 0, 1, false, {{0b01000000}}};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(grey1))), (std::vector<Color32>{K, W}));
    testing_support::PngImage grey4{2, 1, 0, 4, false, {{0x5F}}};
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(grey4))),
              (std::vector<Color32>{0xFF555555, W}));
}

TEST(PngDecoder, InterlacedRowsComeTogether) {
    TBitmap32 pattern(11, 9);
    for (std::int32_t i = 0; i < 99; ++i) {
        pattern.Bits()[i] = 0xFF000000u | static_cast<Color32>(i * 0x020301);
    }
    testing_support::PngImage image{11, 9, 6, 8, true};
    for (std::int32_t y = 0; y < 9; ++y) {
        Bytes row;
        for (std::int32_t x = 0; x < 11; ++x) {
            const Color32 c = pattern.Pixel(x, y);
            row.insert(row.end(), {gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c), 255});
        }
        image.rows.push_back(row);
    }
    EXPECT_EQ(Pixels(Still(TPictureFormat::Png, testing_support::EncodePng(image))), Pixels(pattern));
}

TEST(PngDecoder, HeadersBeyondTheCapOrTheFileAreRefused) {
    const Bytes tiny = testing_support::EncodePng(TBitmap32(1, 1));
    // Bytes after the end chunk count as room for pixels but are never read.
    const auto patched = [&tiny](std::uint32_t w, std::uint32_t h, std::size_t padding) {
        Bytes png = tiny;
        PatchPngHeader(png, w, h);
        png.resize(png.size() + padding);
        return png;
    };
    gfx::TPngDecoder decoder;
    const Bytes atCap = patched(8192, 4096, 200000);  // 128 MiB of pixels could be in 200 KB of deflate
    ASSERT_TRUE(decoder.Open(atCap));
    EXPECT_EQ(decoder.Size(), (gfx::IntSize{8192, 4096}));
    EXPECT_FALSE(decoder.Frames());  // the 1 x 1 picture's data is far too short
    EXPECT_FALSE(decoder.Open(patched(8192, 4097, 200000)));
    EXPECT_FALSE(decoder.Frames());
    EXPECT_FALSE(decoder.Open(patched(1000000, 1000000, 200000)));
    EXPECT_FALSE(decoder.Open(patched(8192, 4096, 0)));  // too few bytes for so many pixels
}

TEST(PngDecoder, AChunkClaimingMoreThanTheFileHoldsIsRefusedBeforeItCostsMemory) {
    // libpng would allocate (and clear) the gigabyte the text chunk's header claims.
    const Bytes tiny = testing_support::EncodePng(TBitmap32(1, 1));
    Bytes huge(tiny.begin(), tiny.begin() + 33);  // the signature and the header chunk
    huge.insert(huge.end(), {0x3F, 0xFF, 0xFF, 0xFF, 't', 'E', 'X', 't', 'a', '\0', 'b'});
    huge.insert(huge.end(), tiny.begin() + 33, tiny.end());
    std::string why;
    EXPECT_FALSE(gfx::DecodePicture(TPictureFormat::Png, huge, &why));
    EXPECT_EQ(why, "its tEXt chunk claims 1073741823 bytes");
}

TEST(JpegDecoder, ColourGreyProgressiveAndCmykWithinTolerance) {
    const TBitmap32 colours = Quadrants(R, 0xFF20C040, B, 0xFFE0E0E0);
    ExpectNear(Still(TPictureFormat::Jpeg, testing_support::EncodeJpeg(colours, 95)), colours, 8);
    ExpectNear(Still(TPictureFormat::Jpeg, testing_support::EncodeJpeg(colours, 95, false, true)), colours, 8);
    const TBitmap32 greys = Quadrants(K, W, 0xFF404040, 0xFFB0B0B0);
    ExpectNear(Still(TPictureFormat::Jpeg, testing_support::EncodeJpeg(greys, 95, true)), greys, 3);

    // CMYK with the Adobe marker is stored inverted, 255 meaning no ink: red is no cyan, full
    // magenta and yellow, no black.
    Bytes cmyk;
    for (int i = 0; i < 256; ++i) {
        const bool left = (i % 16) < 8;
        const bool top = i < 128;
        if (top) {
            cmyk.insert(cmyk.end(), left ? std::initializer_list<std::uint8_t>{255, 0, 0, 255}    // red
                                         : std::initializer_list<std::uint8_t>{255, 255, 255, 0});  // black
        } else {
            cmyk.insert(cmyk.end(), left ? std::initializer_list<std::uint8_t>{255, 255, 255, 255}   // white
                                         : std::initializer_list<std::uint8_t>{255, 255, 255, 128});  // grey
        }
    }
    ExpectNear(Still(TPictureFormat::Jpeg, testing_support::EncodeCmykJpeg(16, 16, cmyk)),
               Quadrants(R, K, W, 0xFF808080), 4);
}

TEST(JpegDecoder, PictureBeyondTheCapDecodesReduced) {
    // 8192 x 4097 is just past the cap: half size fits.
    gfx::TJpegDecoder decoder;
    const Bytes big = testing_support::EncodeFlatGreyJpeg(8192, 4097, 0x60);
    ASSERT_TRUE(decoder.Open(big));
    EXPECT_EQ(decoder.Size(), (gfx::IntSize{4096, 2049}));
    const auto picture = decoder.Frames();
    ASSERT_TRUE(picture);
    const TBitmap32& reduced = picture->frames[0].bitmap;
    ASSERT_EQ(reduced.Width(), 4096);
    ASSERT_EQ(reduced.Height(), 2049);
    EXPECT_EQ(reduced.Pixel(0, 0), 0xFF606060);
    EXPECT_EQ(reduced.Pixel(4095, 2048), 0xFF606060);

    // The header alone decides the reduction: exactly the cap is whole, 1/4 and 1/8 follow, and
    // beyond 1/8 the picture is refused.
    Bytes header = testing_support::EncodeFlatGreyJpeg(8, 8, 0);
    const auto sizeFor = [&](std::uint16_t w, std::uint16_t h) {
        PatchJpegSize(header, w, h);
        return decoder.Open(header) ? decoder.Size() : gfx::IntSize{};
    };
    EXPECT_EQ(sizeFor(8192, 4096), (gfx::IntSize{8192, 4096}));
    EXPECT_EQ(sizeFor(20000, 20000), (gfx::IntSize{5000, 5000}));
    EXPECT_EQ(sizeFor(60000, 30000), (gfx::IntSize{7500, 3750}));
    EXPECT_EQ(sizeFor(65500, 65500), (gfx::IntSize{}));
    EXPECT_FALSE(decoder.Frames());
}

TEST(JpegDecoder, APictureMoreThanTwiceItsPlaceIsDecodedAtTheLargestReductionThatCoversIt) {
    const Bytes photo = testing_support::EncodeFlatGreyJpeg(1600, 1000, 0x70);
    const auto decodedFor = [](const Bytes& jpeg, gfx::IntSize drawn, gfx::IntSize* own = nullptr) {
        const auto picture = gfx::DecodePicture(TPictureFormat::Jpeg, jpeg, nullptr, [&](gfx::IntSize size) {
            if (own != nullptr) {
                *own = size;
            }
            return drawn;
        });
        return picture ? gfx::IntSize{picture->frames[0].bitmap.Width(), picture->frames[0].bitmap.Height()}
                       : gfx::IntSize{};
    };
    gfx::IntSize own;
    EXPECT_EQ(decodedFor(photo, {400, 250}, &own), (gfx::IntSize{400, 250})) << "1/4 covers it exactly";
    EXPECT_EQ(own, (gfx::IntSize{1600, 1000}));
    EXPECT_EQ(decodedFor(photo, {401, 250}), (gfx::IntSize{800, 500}));
    EXPECT_EQ(decodedFor(photo, {100, 100}), (gfx::IntSize{200, 125}));
    EXPECT_EQ(decodedFor(photo, {800, 400}), (gfx::IntSize{1600, 1000})) << "only twice as wide";
    EXPECT_EQ(decodedFor(photo, {700, 500}), (gfx::IntSize{1600, 1000})) << "only twice as high";
    EXPECT_EQ(decodedFor(photo, {0, 0}), (gfx::IntSize{1600, 1000}));

    // Beyond the pixel cap the picture is already halved; its own size is the halved one, and the
    // reduction for its place goes further from the full size.
    const Bytes big = testing_support::EncodeFlatGreyJpeg(8192, 4097, 0x60);
    EXPECT_EQ(decodedFor(big, {1000, 500}, &own), (gfx::IntSize{1024, 513}));
    EXPECT_EQ(own, (gfx::IntSize{4096, 2049}));
    EXPECT_EQ(decodedFor(big, {1500, 700}), (gfx::IntSize{2048, 1025}));
    EXPECT_EQ(decodedFor(big, {3000, 700}), (gfx::IntSize{4096, 2049}));
}

TEST(TiffDecoder, EveryKindDecodesExactly) {
    const TBitmap32 colours = Bitmap(3, 2, {R, G, B, W, K, 0xFF123456});
    EXPECT_EQ(Pixels(Still(TPictureFormat::Tiff, EncodeTiff(colours, testing_support::TiffKind::Rgb))),
              Pixels(colours));
    EXPECT_EQ(Pixels(Still(TPictureFormat::Tiff, EncodeTiff(colours, testing_support::TiffKind::RgbLzw))),
              Pixels(colours));
    EXPECT_EQ(Pixels(Still(TPictureFormat::Tiff, EncodeTiff(colours, testing_support::TiffKind::Palette))),
              Pixels(colours));
    const TBitmap32 greys = Bitmap(3, 1, {K, 0xFF7F7F7F, W});
    EXPECT_EQ(Pixels(Still(TPictureFormat::Tiff, EncodeTiff(greys, testing_support::TiffKind::GreyDeflate))),
              Pixels(greys));
    TBitmap32 fax(20, 3, W);
    fax.FillRect({2, 1, 17, 2}, K);
    EXPECT_EQ(Pixels(Still(TPictureFormat::Tiff, EncodeTiff(fax, testing_support::TiffKind::Fax))), Pixels(fax));
}

TEST(PictureFormats, BrokenFilesGiveNothing) {
    const TBitmap32 picture = Quadrants(R, G, B, W);
    const std::vector<std::pair<TPictureFormat, Bytes>> files = {
        {TPictureFormat::Png, testing_support::EncodePng(picture)},
        {TPictureFormat::Jpeg, testing_support::EncodeJpeg(picture)},
        {TPictureFormat::Jpeg, testing_support::EncodeJpeg(picture, 90, false, true)},
        {TPictureFormat::Tiff, EncodeTiff(picture, testing_support::TiffKind::RgbLzw)},
    };
    for (const auto& [format, good] : files) {
        ASSERT_TRUE(gfx::DecodePicture(format, good));
        EXPECT_FALSE(gfx::DecodePicture(format, {}));
        for (const std::size_t cut : {std::size_t{4}, good.size() / 3, good.size() * 2 / 3}) {
            EXPECT_FALSE(gfx::DecodePicture(format, std::span(good).first(cut)))
                << static_cast<int>(format) << " " << cut;
        }
        Bytes wrongMagic = good;
        wrongMagic[1] ^= 0x55;
        EXPECT_FALSE(gfx::DecodePicture(format, wrongMagic));
        // Noise after a valid start: whatever comes out, nothing crashes.
        Bytes noisy = good;
        std::uint32_t seed = 7;
        for (std::size_t i = noisy.size() / 4; i < noisy.size(); i += 3) {
            seed = seed * 134775813 + 1;
            noisy[i] = static_cast<std::uint8_t>(seed >> 24);
        }
        gfx::DecodePicture(format, noisy);
    }
    // libjpeg would fill the rows after a cut with grey; a cut-off photograph is not shown.
    const Bytes& jpeg = files[1].second;
    EXPECT_FALSE(gfx::DecodePicture(TPictureFormat::Jpeg, std::span(jpeg).first(jpeg.size() - 8)));
    // A format decoded by the wrong decoder.
    EXPECT_FALSE(gfx::DecodePicture(TPictureFormat::Png, files[1].second));
    EXPECT_FALSE(gfx::DecodePicture(TPictureFormat::System, files[0].second));
}

TEST(PictureFile, TheExtensionChoosesTheDecoder) {
    EXPECT_EQ(gfx::PictureFormatOf("C:\\Temp\\SSIMG.JPG"), TPictureFormat::Jpeg);
    EXPECT_EQ(gfx::PictureFormatOf("/tmp/a.b/photo.Jfif"), TPictureFormat::Jpeg);
    EXPECT_EQ(gfx::PictureFormatOf(".jpe"), TPictureFormat::Jpeg);
    EXPECT_EQ(gfx::PictureFormatOf("scan.FAX"), TPictureFormat::Tiff);
    EXPECT_EQ(gfx::PictureFormatOf("gif"), TPictureFormat::Gif);
    for (const char* system : {"a.bmp", "a.RLE", "a.dib", "a.ico", "a.wmf", "a.EMF"}) {
        EXPECT_EQ(gfx::PictureFormatOf(system), TPictureFormat::System) << system;
    }
    for (const char* unknown : {"a.swf", "a.png.txt", "a", "folder.png/file", ""}) {
        EXPECT_EQ(gfx::PictureFormatOf(unknown), TPictureFormat::Unknown) << unknown;
    }

    testing_support::TempDir dir;
    const TBitmap32 picture = Bitmap(2, 1, {R, B});
    testing_support::WriteBytes(dir.File("SSIMG.PNG"), testing_support::EncodePng(picture));
    testing_support::WriteBytes(dir.File("png-named.jpg"), testing_support::EncodePng(picture));
    testing_support::WriteBytes(dir.File("SSIMG.Bmp"), testing_support::EncodeBmp(picture));
    testing_support::WriteBytes(dir.File("SSIMG.txt"), testing_support::EncodePng(picture));
    const auto png = gfx::LoadPictureFile(dir.File("SSIMG.PNG"));
    ASSERT_TRUE(png);
    EXPECT_EQ(Pixels(png->frames[0].bitmap), Pixels(picture));
    const auto bmp = gfx::LoadPictureFile(dir.File("SSIMG.Bmp"));  // the platform's bitmap service
    ASSERT_TRUE(bmp);
    EXPECT_EQ(Pixels(bmp->frames[0].bitmap), Pixels(picture));
    EXPECT_FALSE(gfx::LoadPictureFile(dir.File("png-named.jpg")));
    EXPECT_FALSE(gfx::LoadPictureFile(dir.File("SSIMG.txt")));
    EXPECT_FALSE(gfx::LoadPictureFile(dir.File("missing.png")));
}

}  // namespace
