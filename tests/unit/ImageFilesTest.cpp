// The tools' picture files: PNG both ways, animated GIF out and its first frame back in.

#include <gtest/gtest.h>

#include "gfx/io/ImageFiles.h"
#include "tests/support/TempDir.h"

namespace {

using gfx::TBitmap32;

TBitmap32 Gradient(int width, int height, gfx::Color32 alpha = 0xFF000000u) {
    TBitmap32 b(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.SetPixel(x, y, alpha | static_cast<gfx::Color32>(x * 3 << 16 | y * 5 << 8 | (x ^ y)));
        }
    }
    return b;
}

TEST(ImageFiles, PngKeepsEveryPixelAndItsAlpha) {
    testing_support::TempDir dir;
    const TBitmap32 picture = Gradient(37, 21, 0x7F000000u);
    gfx::io::WritePng(dir.File("a.png"), picture);
    EXPECT_EQ(gfx::io::ReadPng(dir.File("a.png")), picture);
    EXPECT_EQ(gfx::io::ReadImage(dir.File("a.png")), picture);
    EXPECT_THROW(gfx::io::ReadPng(dir.File("missing.png")), gfx::io::ImageFileError);
}

TEST(ImageFiles, GifFramesKeepUpTo256ColoursExactly) {
    testing_support::TempDir dir;
    const TBitmap32 first = Gradient(16, 16);  // 256 colours
    {
        gfx::io::TGifWriter gif(dir.File("a.gif"), 16, 16);
        gif.AddFrame(first, 10);
        gif.AddFrame(Gradient(16, 16, 0xFF000000u), 20);
        EXPECT_THROW(gif.AddFrame(TBitmap32(8, 8), 10), gfx::io::ImageFileError);
        gif.Close();
    }
    EXPECT_EQ(gfx::io::ReadImage(dir.File("a.gif")), first);

    // More colours than a palette holds are reduced, not refused.
    const TBitmap32 many = Gradient(64, 64);
    gfx::io::TGifWriter gif(dir.File("b.gif"), 64, 64);
    gif.AddFrame(many, 10);
    gif.Close();
    const TBitmap32 back = gfx::io::ReadGif(dir.File("b.gif"));
    ASSERT_EQ(back.Width(), 64);
    EXPECT_EQ(gfx::AlphaOf(back.Pixel(10, 10)), 255);
}

}  // namespace
