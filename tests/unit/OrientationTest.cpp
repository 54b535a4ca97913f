// Photographs and scans show upright: every EXIF orientation of a JPEG and every TIFF orientation,
// through both TIFF readers, turns and mirrors the stored picture, the sides swapping for the
// quarter turns; a broken EXIF block changes nothing.

#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/decode/Exif.h"
#include "gfx/decode/JpegDecoder.h"
#include "gfx/decode/PictureFormats.h"
#include "gfx/decode/TiffDecoder.h"
#include "tests/support/PictureEncoders.h"

namespace {

using gfx::Color32;
using gfx::TPictureFormat;
using testing_support::Bytes;

constexpr Color32 A = 0xFFE02020, B = 0xFF20E020, C = 0xFF2020E0, D = 0xFFE0E020, E = 0xFFE020E0, F = 0xFF20E0E0;

// The stored picture is the grid  A B C / D E F;  what each orientation shows, row by row.
struct Case {
    int orientation;
    int columns;
    std::vector<Color32> upright;
};
const Case kCases[] = {
    {1, 3, {A, B, C, D, E, F}},  // as stored
    {2, 3, {C, B, A, F, E, D}},  // mirrored left to right
    {3, 3, {F, E, D, C, B, A}},  // upside down
    {4, 3, {D, E, F, A, B, C}},  // mirrored top to bottom
    {5, 2, {A, D, B, E, C, F}},  // mirrored along the diagonal
    {6, 2, {D, A, E, B, F, C}},  // a quarter turn clockwise: a phone held upright
    {7, 2, {F, C, E, B, D, A}},  // mirrored along the other diagonal
    {8, 2, {C, F, B, E, A, D}},  // a quarter turn anticlockwise
};
const Color32 kStored[] = {A, B, C, D, E, F};

// The stored grid with each cell `cell` pixels square.
gfx::TBitmap32 Grid(int cell) {
    gfx::TBitmap32 grid(3 * cell, 2 * cell);
    for (int i = 0; i < 6; ++i) {
        grid.FillRect(gfx::IntRect::FromSize(i % 3 * cell, i / 3 * cell, cell, cell), kStored[i]);
    }
    return grid;
}

bool Near(Color32 a, Color32 b, int tolerance) {
    return std::abs(gfx::RedOf(a) - gfx::RedOf(b)) <= tolerance &&
           std::abs(gfx::GreenOf(a) - gfx::GreenOf(b)) <= tolerance &&
           std::abs(gfx::BlueOf(a) - gfx::BlueOf(b)) <= tolerance;
}

// Decodes and checks the size and the middle of every cell.
void ExpectUpright(TPictureFormat format, const Bytes& file, const Case& c, int cell, int tolerance) {
    const auto decoder = gfx::MakeDecoder(format);
    ASSERT_TRUE(decoder->Open(file)) << decoder->Failure();
    const gfx::IntSize size{c.columns * cell, 6 / c.columns * cell};
    EXPECT_EQ(decoder->Size(), size);
    const auto picture = decoder->Frames();
    ASSERT_TRUE(picture) << decoder->Failure();
    EXPECT_EQ(picture->size, size);
    const gfx::TBitmap32& shown = picture->frames[0].bitmap;
    ASSERT_EQ(shown.Width(), size.width);
    ASSERT_EQ(shown.Height(), size.height);
    for (int i = 0; i < 6; ++i) {
        const Color32 at = shown.Pixel(i % c.columns * cell + cell / 2, i / c.columns * cell + cell / 2);
        EXPECT_TRUE(Near(at, c.upright[static_cast<std::size_t>(i)], tolerance))
            << "orientation " << c.orientation << ", cell " << i << ": " << std::hex << at;
    }
}

TEST(Orientation, EveryExifOrientationOfAJpegShowsUpright) {
    const Bytes plain = testing_support::EncodeJpeg(Grid(8), 95);
    for (const Case& c : kCases) {
        for (const bool bigEndian : {false, true}) {
            ExpectUpright(TPictureFormat::Jpeg, testing_support::WithExifOrientation(plain, c.orientation, bigEndian),
                          c, 8, 10);
        }
    }
}

TEST(Orientation, AReducedJpegTurnsAtItsReducedSize) {
    // Past the pixel cap the picture decodes at half size; the quarter turn swaps the halved sides.
    const Bytes big = testing_support::WithExifOrientation(testing_support::EncodeFlatGreyJpeg(8192, 4097, 0x60), 6);
    gfx::TJpegDecoder decoder;
    ASSERT_TRUE(decoder.Open(big));
    EXPECT_EQ(decoder.Size(), (gfx::IntSize{2049, 4096}));
}

TEST(Orientation, EveryTiffOrientationShowsUprightThroughBothReaders) {
    for (const Case& c : kCases) {
        // 8-bit RGB goes through libtiff's RGBA interface.
        testing_support::TiffImage rgb{3, 2};
        rgb.orientation = c.orientation;
        // 16-bit RGB with unassociated alpha goes through our own reader.
        testing_support::TiffImage alpha{3, 2, 4, 16};
        alpha.extraSamples = {2};
        alpha.orientation = c.orientation;
        for (int y = 0; y < 2; ++y) {
            std::vector<std::uint64_t> narrow, wide;
            for (int x = 0; x < 3; ++x) {
                const Color32 colour = kStored[y * 3 + x];
                for (const std::uint8_t v : {gfx::RedOf(colour), gfx::GreenOf(colour), gfx::BlueOf(colour)}) {
                    narrow.push_back(v);
                    wide.push_back(v * 257u);
                }
                wide.push_back(65535);
            }
            rgb.rows.push_back(testing_support::PackSamples(narrow, 8));
            alpha.rows.push_back(testing_support::PackSamples(wide, 16));
        }
        ExpectUpright(TPictureFormat::Tiff, testing_support::EncodeTiff(rgb), c, 1, 0);
        ExpectUpright(TPictureFormat::Tiff, testing_support::EncodeTiff(alpha), c, 1, 0);
    }
}

TEST(Orientation, DamagedOrMissingExifLeavesThePictureAsStored) {
    const Bytes good = testing_support::WithExifOrientation({0xFF, 0xD8}, 6);
    const std::span<const std::uint8_t> block(good.data() + 6, good.size() - 6);
    EXPECT_EQ(gfx::ExifOrientation(block), gfx::TOrientation::RightTop);
    EXPECT_EQ(gfx::ExifOrientation({}), gfx::TOrientation::TopLeft);
    // A cut before the end of the orientation's value (at 30 in the TIFF part, after the six
    // bytes of "Exif"), and every value outside 1 to 8, read as "as stored".
    for (std::size_t cut = 0; cut < block.size(); ++cut) {
        EXPECT_EQ(gfx::ExifOrientation(block.first(cut)),
                  cut >= 6 + 32 ? gfx::TOrientation::RightTop : gfx::TOrientation::TopLeft)
            << cut;
    }
    for (const int value : {0, 9, 255}) {
        const Bytes odd = testing_support::WithExifOrientation({0xFF, 0xD8}, value);
        EXPECT_EQ(gfx::ExifOrientation({odd.data() + 6, odd.size() - 6}), gfx::TOrientation::TopLeft) << value;
    }
    // An IFD offset pointing past the block, and an entry count running past it.
    Bytes far = good;
    far[6 + 6 + 4] = 0xF0;
    EXPECT_EQ(gfx::ExifOrientation({far.data() + 6, far.size() - 6}), gfx::TOrientation::TopLeft);
    Bytes many = good;
    many[6 + 6 + 8] = 0xFF;
    many[6 + 6 + 9] = 0xFF;
    EXPECT_EQ(gfx::ExifOrientation({many.data() + 6, many.size() - 6}), gfx::TOrientation::RightTop)
        << "the entries before the end are still read";
}

}  // namespace
