#pragma once

// Picture files made through the formats' own libraries, for the decoder tests and the fuzz
// seeds. Each returns the file's bytes.

#include <cstdint>
#include <optional>
#include <vector>

#include "gfx/Bitmap32.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// A PNG as the format stores it: colour type and depth as in the file, each row's samples packed
// (16-bit samples big-endian), a palette with optional alpha for palette pictures.
struct PngImage {
    int width = 0;
    int height = 0;
    int colorType = 6;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<Bytes> rows;
    std::vector<gfx::Color32> palette;  // palette pictures: colours, alpha as the tRNS chunk
};
Bytes EncodePng(const PngImage& image);
// An 8-bit RGBA PNG of the bitmap.
Bytes EncodePng(const gfx::TBitmap32& bitmap);

// A JPEG of the bitmap's colours (opaque), without chroma subsampling; grey stores the green channel.
Bytes EncodeJpeg(const gfx::TBitmap32& bitmap, int quality = 95, bool grey = false, bool progressive = false);
// A grey JPEG of one value, made row by row, so that even huge ones cost little memory.
Bytes EncodeFlatGreyJpeg(int width, int height, std::uint8_t grey);
// A CMYK JPEG (with the Adobe marker, so values are stored inverted: 255 is no ink).
Bytes EncodeCmykJpeg(int width, int height, const Bytes& cmyk);

enum class TiffKind { Rgb, RgbLzw, GreyDeflate, Palette, Fax };
// A one-page TIFF of the bitmap. Grey stores the green channel; Palette takes the colours in
// order of appearance (at most 256); Fax is bilevel with CCITT group 3, black where green < 128.
Bytes EncodeTiff(const gfx::TBitmap32& bitmap, TiffKind kind);

struct GifFrameLayout {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    Bytes indices;                      // width x height, rows top to bottom
    std::vector<gfx::Color32> palette;  // a local palette; empty uses the global one
    bool interlaced = false;
    bool control = true;  // writes a graphic control extension with the three fields below
    int delayCs = 0;
    int disposal = 0;
    int transparent = -1;
};
struct GifLayout {
    int width = 0;
    int height = 0;
    std::vector<gfx::Color32> palette;  // the global palette; may be empty
    int background = 0;
    std::optional<int> loopCount;  // writes the looping application extension
    std::vector<GifFrameLayout> frames;
};
Bytes EncodeGif(const GifLayout& layout);

// A 24-bit Windows bitmap file.
Bytes EncodeBmp(const gfx::TBitmap32& bitmap);

// An icon image in bitmap form: 32 bits keeps the alpha (and an all-clear AND mask), 24 bits
// turns pixels with alpha below 128 into AND-mask transparency.
Bytes IconBitmapImage(const gfx::TBitmap32& bitmap, int bits);
struct IconEntry {
    int width = 0;  // as the directory states it
    int height = 0;
    int bits = 32;
    Bytes image;  // IconBitmapImage or a PNG file
};
Bytes EncodeIco(const std::vector<IconEntry>& entries);

}  // namespace testing_support
