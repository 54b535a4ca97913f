#pragma once

// Picture files made through the formats' own libraries, for the decoder tests and the fuzz
// seeds. Each returns the file's bytes.

#include <cstdint>
#include <optional>
#include <utility>
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
    Bytes icc;                          // an ICC profile for the iCCP chunk; none when empty
};
Bytes EncodePng(const PngImage& image);
// An 8-bit RGBA PNG of the bitmap.
Bytes EncodePng(const gfx::TBitmap32& bitmap);

// A JPEG of the bitmap's colours (opaque); grey stores the green channel. A non-empty `icc` goes
// into the file as its ICC profile. Chroma is kept whole unless `subsampled`, which halves it both
// ways (4:2:0) as cameras store their photographs.
Bytes EncodeJpeg(const gfx::TBitmap32& bitmap, int quality = 95, bool grey = false, bool progressive = false,
                 const Bytes& icc = {}, bool subsampled = false);
// A grey JPEG of one value, made row by row, so that even huge ones cost little memory.
Bytes EncodeFlatGreyJpeg(int width, int height, std::uint8_t grey);
// A CMYK JPEG (with the Adobe marker, so values are stored inverted: 255 is no ink).
Bytes EncodeCmykJpeg(int width, int height, const Bytes& cmyk);
// The JPEG with an EXIF block giving the orientation (1 to 8) right after its start, in little-
// or big-endian TIFF order, among a few other tags.
Bytes WithExifOrientation(const Bytes& jpeg, int orientation, bool bigEndian = false);

enum class TiffKind { Rgb, RgbLzw, GreyDeflate, Palette, Fax };
// A one-page TIFF of the bitmap. Grey stores the green channel; Palette takes the colours in
// order of appearance (at most 256); Fax is bilevel with CCITT group 3, black where green < 128.
Bytes EncodeTiff(const gfx::TBitmap32& bitmap, TiffKind kind);

// A TIFF as the format stores it, for the variants the kinds above leave out: each row's samples
// packed at the file's depth (PackSamples). Contiguous pixels have one row a line; separate planes
// have every row of sample 0, then every row of sample 1, and so on.
struct TiffImage {
    int width = 0;
    int height = 0;
    int samples = 3;
    int bits = 8;
    int format = 1;       // SampleFormat: 1 unsigned, 2 signed, 3 floating point
    int photometric = 2;  // 0 white is zero, 1 black is zero, 2 RGB, 5 separated (CMYK), 8 CIELab
    std::vector<std::uint16_t> extraSamples;  // their kinds: 0 unspecified, 1 associated alpha, 2 unassociated
    int orientation = 1;
    bool separate = false;
    int tileSize = 0;  // square tiles of this side (a multiple of 16, whole bytes a pixel); 0: strips of 2 rows
    int inkSet = 1;    // 1 CMYK
    std::optional<std::pair<double, double>> range;  // SMinSampleValue and SMaxSampleValue
    Bytes icc;                                       // an ICC profile; none when empty
    std::vector<Bytes> rows;
};
Bytes EncodeTiff(const TiffImage& image);
// Samples packed into one row at `bits` each: whole-byte depths (8, 16, 24, 32, 64) in the
// machine's order, as libtiff takes them; other depths from the highest bit of each byte on.
Bytes PackSamples(const std::vector<std::uint64_t>& samples, int bits);
// The bit pattern of a floating-point sample of 16 (half), 32 or 64 bits; the value must be
// exact at that size.
std::uint64_t FloatBits(double value, int bits);

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
// A looping animation of whole frames, each of one colour of the palette in turn, delayCs apart.
GifLayout SolidFramesGif(int width, int height, const std::vector<gfx::Color32>& colours, int delayCs);

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
