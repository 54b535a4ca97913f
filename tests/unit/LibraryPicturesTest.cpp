// The test pictures the image libraries ship in their source packages: every one they call valid
// shows as they define it (against their own reference dumps and twins where they have them), or
// is refused with a reason; the broken ones are refused or shown, never a crash.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "gfx/decode/PictureFormats.h"

namespace fs = std::filesystem;

namespace {

using gfx::Color32;
using gfx::TPictureFormat;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> Files(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Decoded {
    std::optional<gfx::TPicture> picture;
    std::string why;
};

Decoded Decode(TPictureFormat format, const fs::path& file) {
    Decoded d;
    d.picture = gfx::DecodePicture(format, ReadFile(file), &d.why);
    return d;
}

const gfx::TBitmap32& Still(const Decoded& d) { return d.picture->frames.front().bitmap; }

// A binary PBM, PGM or PPM file as colours (16-bit samples reduced to 8 bits, rounded).
gfx::TBitmap32 ReadPnm(const fs::path& path) {
    const Bytes bytes = ReadFile(path);
    std::size_t at = 0;
    const auto token = [&] {
        std::string t;
        while (at < bytes.size() && (std::isspace(bytes[at]) || bytes[at] == '#')) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n') {
                    ++at;
                }
            } else {
                ++at;
            }
        }
        while (at < bytes.size() && !std::isspace(bytes[at])) {
            t += static_cast<char>(bytes[at++]);
        }
        return t;
    };
    const std::string magic = token();
    const int width = std::stoi(token());
    const int height = std::stoi(token());
    const int largest = magic == "P4" ? 1 : std::stoi(token());
    ++at;
    gfx::TBitmap32 out(width, height);
    const int wide = largest > 255 ? 2 : 1;
    const auto sample = [&](std::size_t index) {
        const int v = wide == 2 ? bytes[at + 2 * index] << 8 | bytes[at + 2 * index + 1] : bytes[at + index];
        return static_cast<std::uint8_t>((v * 255 + largest / 2) / largest);
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(y * width + x);
            if (magic == "P4") {
                const std::size_t row = static_cast<std::size_t>((width + 7) / 8) * static_cast<std::size_t>(y);
                const bool black = (bytes[at + row + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1;
                out.SetPixel(x, y, black ? 0xFF000000 : 0xFFFFFFFF);
            } else if (magic == "P5") {
                const std::uint8_t g = sample(i);
                out.SetPixel(x, y, gfx::MakeColor32(g, g, g));
            } else {
                out.SetPixel(x, y, gfx::MakeColor32(sample(3 * i), sample(3 * i + 1), sample(3 * i + 2)));
            }
        }
    }
    return out;
}

// The mean difference of the channels of two pictures of one size.
double MeanDifference(const gfx::TBitmap32& a, const gfx::TBitmap32& b) {
    double sum = 0;
    for (std::int32_t y = 0; y < a.Height(); ++y) {
        for (std::int32_t x = 0; x < a.Width(); ++x) {
            const Color32 p = a.Pixel(x, y), q = b.Pixel(x, y);
            sum += std::abs(gfx::RedOf(p) - gfx::RedOf(q)) + std::abs(gfx::GreenOf(p) - gfx::GreenOf(q)) +
                   std::abs(gfx::BlueOf(p) - gfx::BlueOf(q));
        }
    }
    return sum / (3.0 * a.Width() * a.Height());
}

// gif2rgb's picture of a GIF, as giflib's tests keep it: every frame's pixels laid over the
// background colour in turn, transparent ones too.
gfx::TBitmap32 Overlaid(const gfx::TPicture& gif) {
    gfx::TBitmap32 out(gif.size.width, gif.size.height, gif.backgroundColor.value_or(0xFF000000));
    for (const auto& frame : gif.frames) {
        for (std::int32_t y = 0; y < frame.bitmap.Height(); ++y) {
            for (std::int32_t x = 0; x < frame.bitmap.Width(); ++x) {
                out.SetPixel(frame.position.x + x, frame.position.y + y, frame.bitmap.Pixel(x, y) | 0xFF000000u);
            }
        }
    }
    return out;
}

gfx::TBitmap32 ReadRgb(const fs::path& path, gfx::IntSize size) {
    const Bytes raw = ReadFile(path);
    gfx::TBitmap32 out(size.width, size.height);
    if (raw.size() != 3 * static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height)) {
        ADD_FAILURE() << path << " is not " << size.width << " x " << size.height;
        return out;
    }
    for (std::size_t i = 0; i < raw.size() / 3; ++i) {
        out.Bits()[i] = gfx::MakeColor32(raw[3 * i], raw[3 * i + 1], raw[3 * i + 2]);
    }
    return out;
}

const fs::path kPng = fs::path(SAVER_PNG_SOURCES) / "contrib";
const fs::path kJpeg = fs::path(SAVER_JPEG_SOURCES) / "testimages";
const fs::path kTiff = fs::path(SAVER_TIFF_SOURCES) / "test/images";
const fs::path kGif = fs::path(SAVER_GIF_SOURCES);

// PngSuite's basic pictures and libpng's generated ones all show, at their headers' sizes; each
// interlaced twin ("i" in front, in the suite's folder or its "interlaced" one) equals its plain
// one. (Gamma chunks are not applied: the suite's plain pictures declare a gamma of 1.0 that their
// twins dropped.) The crashers are refused with a reason or shown.
TEST(LibraryPictures, LibpngsPicturesShowAndTwinsAgree) {
    std::map<std::string, gfx::TBitmap32> suite;
    for (const fs::path& folder : {kPng / "pngsuite", kPng / "pngsuite/interlaced"}) {
        for (const fs::path& file : Files(folder, ".png")) {
            const Decoded d = Decode(TPictureFormat::Png, file);
            ASSERT_TRUE(d.picture) << file << ": " << d.why;
            EXPECT_EQ(d.picture->size, (gfx::IntSize{32, 32})) << file;
            suite[file.stem().string()] = Still(d);
        }
    }
    int twins = 0;
    for (const auto& [name, picture] : suite) {
        if (name[0] == 'i' && suite.count(name.substr(1)) != 0) {
            EXPECT_EQ(picture, suite[name.substr(1)]) << name;
            ++twins;
        }
    }
    EXPECT_GE(twins, 25);
    int generated = 0;
    for (const fs::path& file : Files(kPng / "testpngs", ".png")) {
        const Decoded d = Decode(TPictureFormat::Png, file);
        EXPECT_TRUE(d.picture) << file << ": " << d.why;
        ++generated;
    }
    EXPECT_GE(generated, 100);
    for (const fs::path& file : Files(kPng / "testpngs/crashers", ".png")) {
        const Decoded d = Decode(TPictureFormat::Png, file);
        EXPECT_TRUE(d.picture || !d.why.empty()) << file;
    }
}

// libjpeg-turbo's test pictures: the baseline one close to the original it was made from, the
// arithmetic-coded one equal to its Huffman-coded twin; the 12-bit one is refused with libjpeg's
// own reason, since the library is built for 8 bits.
TEST(LibraryPictures, LibjpegsPicturesShowCloseToTheirOriginal) {
    const gfx::TBitmap32 original = ReadPnm(kJpeg / "testorig.ppm");
    std::map<std::string, gfx::TBitmap32> shown;
    for (const char* name : {"testorig.jpg", "testimgint.jpg", "testimgari.jpg"}) {
        const Decoded d = Decode(TPictureFormat::Jpeg, kJpeg / name);
        ASSERT_TRUE(d.picture) << name << ": " << d.why;
        ASSERT_EQ(d.picture->size, (gfx::IntSize{227, 149})) << name;
        EXPECT_LT(MeanDifference(Still(d), original), 1.0) << name;
        shown[name] = Still(d);
    }
    EXPECT_EQ(shown["testimgari.jpg"], shown["testimgint.jpg"]);
    const Decoded twelve = Decode(TPictureFormat::Jpeg, kJpeg / "testorig12.jpg");
    EXPECT_FALSE(twelve.picture);
    EXPECT_EQ(twelve.why, "Unsupported JPEG data precision 12");
}

// libtiff's test pictures all show; those with a reference picture beside them equal it exactly,
// the big- and little-endian floating-point twins equal each other, and the JPEG-compressed tiles
// come close to the same picture stored losslessly.
TEST(LibraryPictures, LibtiffsPicturesShowAsTheirReferences) {
    std::map<std::string, gfx::TBitmap32> shown;
    for (const char* ext : {".tiff", ".tif"}) {
        for (const fs::path& file : Files(kTiff, ext)) {
            const Decoded d = Decode(TPictureFormat::Tiff, file);
            ASSERT_TRUE(d.picture) << file << ": " << d.why;
            shown[file.filename().string()] = Still(d);
        }
    }
    EXPECT_GE(shown.size(), 25u);
    for (const char* reference : {"minisblack-1c-8b.pgm", "miniswhite-1c-1b.pbm", "rgb-3c-8b.ppm", "rgb-3c-16b.ppm"}) {
        const std::string tiff = fs::path(reference).stem().string() + ".tiff";
        EXPECT_EQ(shown[tiff], ReadPnm(kTiff / reference)) << tiff;
    }
    EXPECT_EQ(shown["test_float64_predictor2_be_lzw.tif"], shown["test_float64_predictor2_le_lzw.tif"]);
    EXPECT_LT(MeanDifference(shown["quad-tile.jpg.tiff"], shown["quad-lzw-compat.tiff"]), 4.0);
}

// giflib's test pictures equal the dumps its own tests compare gif2rgb against, every frame in
// its place; the interlaced one equals the plain one.
TEST(LibraryPictures, GiflibsPicturesEqualTheirDumps) {
    int compared = 0;
    for (const fs::path& file : Files(kGif / "pic", ".gif")) {
        const Decoded d = Decode(TPictureFormat::Gif, file);
        ASSERT_TRUE(d.picture) << file << ": " << d.why;
        const fs::path dump = kGif / "tests" / (file.stem().string() + ".rgb");
        if (fs::exists(dump)) {
            EXPECT_EQ(Overlaid(*d.picture), ReadRgb(dump, d.picture->size)) << file;
            ++compared;
        }
    }
    EXPECT_GE(compared, 8);
    const Decoded plain = Decode(TPictureFormat::Gif, kGif / "pic/treescap.gif");
    const Decoded interlaced = Decode(TPictureFormat::Gif, kGif / "pic/treescap-interlaced.gif");
    EXPECT_EQ(Still(plain), Still(interlaced));
}

}  // namespace
