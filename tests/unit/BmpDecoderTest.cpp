// Windows bitmaps decoded by our own reader (the simulated platform's picture service).

#include <gtest/gtest.h>

#include <vector>

#include "gfx/decode/BmpDecoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

// A file with an info header, the palette and the pixel bytes as given.
Bytes Bmp(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression, const Bytes& palette,
          const Bytes& pixels, const std::vector<std::uint32_t>& masks = {}) {
    Bytes b(54);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(w));
    Put32(b, 22, static_cast<std::uint32_t>(h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bits));
    Put32(b, 30, compression);
    Put32(b, 46, static_cast<std::uint32_t>(palette.size() / 4));
    for (std::uint32_t m : masks) {
        b.resize(b.size() + 4);
        Put32(b, b.size() - 4, m);
    }
    b.insert(b.end(), palette.begin(), palette.end());
    Put32(b, 10, static_cast<std::uint32_t>(b.size()));
    b.insert(b.end(), pixels.begin(), pixels.end());
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    return b;
}

std::vector<gfx::Color32> Pixels(const gfx::TBitmap32& bmp) {
    return {bmp.Bits(), bmp.Bits() + bmp.Width() * bmp.Height()};
}

constexpr gfx::Color32 R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;

TEST(BmpDecoder, TrueColourRowsBottomUpAndTopDown) {
    // 2 x 2, 24 bits: rows padded to 8 bytes; the first stored row is the bottom one.
    const Bytes rows = {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0};
    auto up = gfx::DecodeBmp(Bmp(2, 2, 24, 0, {}, rows).data(), Bmp(2, 2, 24, 0, {}, rows).size());
    ASSERT_TRUE(up);
    EXPECT_EQ(Pixels(*up), (std::vector<gfx::Color32>{B, W, R, G}));
    const Bytes file = Bmp(2, -2, 24, 0, {}, rows);
    auto down = gfx::DecodeBmp(file.data(), file.size());
    ASSERT_TRUE(down);
    EXPECT_EQ(Pixels(*down), (std::vector<gfx::Color32>{R, G, B, W}));
}

TEST(BmpDecoder, PalettesAtEveryDepth) {
    const Bytes palette = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0};  // black, white, red (BGR0)
    const Bytes one = Bmp(3, -1, 1, 0, palette, {0b01000000, 0, 0, 0});
    EXPECT_EQ(Pixels(*gfx::DecodeBmp(one.data(), one.size())), (std::vector<gfx::Color32>{K, W, K}));
    const Bytes four = Bmp(3, -1, 4, 0, palette, {0x21, 0x00, 0, 0});
    EXPECT_EQ(Pixels(*gfx::DecodeBmp(four.data(), four.size())), (std::vector<gfx::Color32>{R, W, K}));
    const Bytes eight = Bmp(3, -1, 8, 0, palette, {2, 1, 0, 0});
    EXPECT_EQ(Pixels(*gfx::DecodeBmp(eight.data(), eight.size())), (std::vector<gfx::Color32>{R, W, K}));
}

TEST(BmpDecoder, SixteenAndThirtyTwoBitsWithTheirMasks) {
    const Bytes fiveFiveFive = Bmp(2, -1, 16, 0, {}, {0x00, 0x7C, 0x1F, 0x00});
    EXPECT_EQ(Pixels(*gfx::DecodeBmp(fiveFiveFive.data(), fiveFiveFive.size())), (std::vector<gfx::Color32>{R, B}));
    const Bytes fiveSixFive = Bmp(2, -1, 16, 3, {}, {0xE0, 0x07, 0x00, 0xF8}, {0xF800, 0x07E0, 0x001F});
    EXPECT_EQ(Pixels(*gfx::DecodeBmp(fiveSixFive.data(), fiveSixFive.size())), (std::vector<gfx::Color32>{G, R}));
    const Bytes argb = Bmp(1, -1, 32, 0, {}, {0x10, 0x20, 0x30, 0x00});
    EXPECT_EQ(Pixels(*gfx::DecodeBmp(argb.data(), argb.size())), (std::vector<gfx::Color32>{0xFF302010}));
}

TEST(BmpDecoder, RunLengthEncodings) {
    const Bytes palette = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0};
    // RLE8, 4 x 2 bottom-up: row 0 (bottom) = a run of 3 whites, then a literal of reds cut at the edge;
    // row 1 = a delta past
    // two pixels, then one red; end of picture.
    const Bytes rle8 = Bmp(4, 2, 8, 1, palette, {3, 1, 0, 3, 2, 2, 2, 0, 0, 0, 0, 2, 2, 0, 1, 2, 0, 1});
    auto eight = gfx::DecodeBmp(rle8.data(), rle8.size());
    ASSERT_TRUE(eight);
    EXPECT_EQ(Pixels(*eight), (std::vector<gfx::Color32>{K, K, R, K, W, W, W, R}));
    // RLE4: a run of 4 alternating red and white nibbles.
    const Bytes rle4 = Bmp(4, 1, 4, 2, palette, {4, 0x21, 0, 1});
    EXPECT_EQ(Pixels(*gfx::DecodeBmp(rle4.data(), rle4.size())), (std::vector<gfx::Color32>{R, W, R, W}));
}

TEST(BmpDecoder, BrokenFilesAreRefused) {
    const Bytes good = Bmp(2, 2, 24, 0, {}, Bytes(16, 0));
    for (std::size_t cut : {0u, 10u, 40u, 60u, 69u}) {
        EXPECT_FALSE(gfx::DecodeBmp(good.data(), cut)) << cut;
    }
    Bytes notBmp = good;
    notBmp[0] = 'X';
    EXPECT_FALSE(gfx::DecodeBmp(notBmp.data(), notBmp.size()));
    for (const Bytes& bad : {Bmp(0, 2, 24, 0, {}, {}), Bmp(2, 0, 24, 0, {}, {}), Bmp(-5, 2, 24, 0, {}, Bytes(16)),
                             Bmp(100000, 100000, 24, 0, {}, {}), Bmp(2, 2, 7, 0, {}, Bytes(16)),
                             Bmp(2, 2, 24, 9, {}, Bytes(16)), Bmp(2, 2, 24, 1, {}, Bytes(16))}) {
        EXPECT_FALSE(gfx::DecodeBmp(bad.data(), bad.size()));
    }
    // A longer header with bit-field masks, cut before its masks; and pixels that end early.
    Bytes longHeader = Bmp(1, -1, 32, 3, {}, {}, {0xFF0000, 0xFF00, 0xFF});
    Put32(longHeader, 14, 108);
    longHeader.resize(56);
    EXPECT_FALSE(gfx::DecodeBmp(longHeader.data(), longHeader.size()));
    const Bytes shortPixels = Bmp(8192, 4096, 24, 0, {}, Bytes(16));
    EXPECT_FALSE(gfx::DecodeBmp(shortPixels.data(), shortPixels.size()));
    // A run-length picture whose runs leave the picture is clipped, not written out of bounds.
    const Bytes wild = Bmp(2, 2, 8, 1, {0, 0, 255, 0}, {255, 0, 0, 2, 200, 200, 255, 0, 0, 1});
    EXPECT_TRUE(gfx::DecodeBmp(wild.data(), wild.size()));
}

}  // namespace
