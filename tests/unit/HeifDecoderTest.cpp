// HEIC, HEIF and AVIF: libheif's own test pictures show as its own converter shows them, and
// pictures made here through libheif's encoders check what the phone formats carry: the primary
// image of several, tiles, rotation and mirroring, crop, alpha, 10 and 12 bits, other primaries
// and HDR curves; damaged files and sizes beyond the pixel cap are refused with a reason.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include <libheif/heif.h>

#include "gfx/decode/AreaReducer.h"
#include "gfx/decode/HeifDecoder.h"
#include "gfx/decode/PictureFormats.h"
#include "gfx/decode/ToneMap.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/ReferenceTools.h"
#include "tests/support/TempDir.h"
#include "tests/support/TiledHeic.h"

namespace fs = std::filesystem;

namespace {

using gfx::Color32;
using gfx::TBitmap32;
using testing_support::MaxDifference;
using testing_support::ReadBytes;
using testing_support::RunTool;
using Decoded = testing_support::DecodedPicture;
using Bytes = std::vector<std::uint8_t>;

const fs::path kLibheif = SAVER_LIBHEIF_SOURCES;

Decoded Decode(const Bytes& bytes) { return testing_support::DecodeWithReason(gfx::TPictureFormat::Heif, bytes); }

bool Near(Color32 a, Color32 b, int tolerance) {
    TBitmap32 x(1, 1, a);
    TBitmap32 y(1, 1, b);
    return MaxDifference(x, y) <= tolerance;
}

// What libheif's own converter makes of the file's primary image, as a PNG read back.
TBitmap32 HeifConvert(const fs::path& file, const fs::path& folder) {
    const fs::path png = folder / "reference.png";
    const std::string output = RunTool("heif-convert '" + file.string() + "' '" + png.string() + "'", folder.string());
    // With several top-level images it numbers them; the primary one comes first.
    const fs::path first = folder / "reference-1.png";
    const fs::path written = fs::exists(png) ? png : first;
    const auto decoded = gfx::DecodePicture(gfx::TPictureFormat::Png, ReadBytes(written.string()));
    if (!decoded) {
        throw std::runtime_error("heif-convert gave no picture: " + output);
    }
    fs::remove(png);
    fs::remove(first);
    return decoded->frames.front().bitmap;
}

// A picture for libheif's encoders: 8-bit samples, red, green, blue and alpha.
struct HeifSource {
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::vector<std::array<std::uint16_t, 4>> pixels;  // row by row
    heif_compression_format format = heif_compression_AV1;
    heif_orientation orientation = heif_orientation_normal;
    // nclx: with matrix 0 the samples are coded as they are, so that lossless is exact.
    int primaries = 1;
    int transfer = 13;
    bool lossless = true;
    bool premultiplied = false;  // the colours are stored multiplied by alpha
    Bytes icc;  // an ICC profile to embed; none when empty

    HeifSource(int w, int h, std::array<std::uint16_t, 4> fill = {0, 0, 0, 255})
        : width(w), height(h), pixels(static_cast<std::size_t>(w * h), fill) {}
    std::array<std::uint16_t, 4>& At(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

void Check(const heif_error& error) {
    if (error.code != heif_error_Ok) {
        throw std::runtime_error(error.message);
    }
}

Bytes EncodeHeif(const HeifSource& source) {
    const heif_chroma chroma = source.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB;
    heif_image* raw = nullptr;
    Check(heif_image_create(source.width, source.height, heif_colorspace_RGB, chroma, &raw));
    const std::unique_ptr<heif_image, void (*)(const heif_image*)> image(raw, heif_image_release);
    Check(heif_image_add_plane(image.get(), heif_channel_interleaved, source.width, source.height, 8));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    const int channels = source.alpha ? 4 : 3;
    for (int y = 0; y < source.height; ++y) {
        std::uint8_t* row = plane + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < source.width; ++x) {
            const auto& px = source.pixels[static_cast<std::size_t>(y * source.width + x)];
            for (int c = 0; c < channels; ++c) {
                row[x * channels + c] = static_cast<std::uint8_t>(px[c]);
            }
        }
    }
    const std::unique_ptr<heif_color_profile_nclx, void (*)(heif_color_profile_nclx*)> nclx(
        heif_nclx_color_profile_alloc(), heif_nclx_color_profile_free);
    Check(heif_nclx_color_profile_set_color_primaries(nclx.get(), static_cast<std::uint16_t>(source.primaries)));
    Check(
        heif_nclx_color_profile_set_transfer_characteristics(nclx.get(), static_cast<std::uint16_t>(source.transfer)));
    Check(heif_nclx_color_profile_set_matrix_coefficients(nclx.get(), source.lossless ? 0 : 6));
    nclx->full_range_flag = 1;
    Check(heif_image_set_nclx_color_profile(image.get(), nclx.get()));
    heif_image_set_premultiplied_alpha(image.get(), source.premultiplied ? 1 : 0);
    if (!source.icc.empty()) {
        Check(heif_image_set_raw_color_profile(image.get(), "prof", source.icc.data(), source.icc.size()));
    }

    const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(), heif_context_free);
    heif_encoder* rawEncoder = nullptr;
    Check(heif_context_get_encoder_for_format(context.get(), source.format, &rawEncoder));
    const std::unique_ptr<heif_encoder, void (*)(heif_encoder*)> encoder(rawEncoder, heif_encoder_release);
    if (source.lossless) {
        Check(heif_encoder_set_lossless(encoder.get(), 1));
        Check(heif_encoder_set_parameter(encoder.get(), "chroma", "444"));
    } else {
        Check(heif_encoder_set_lossy_quality(encoder.get(), 95));
    }
    const std::unique_ptr<heif_encoding_options, void (*)(heif_encoding_options*)> options(
        heif_encoding_options_alloc(), heif_encoding_options_free);
    options->image_orientation = source.orientation;
    options->output_nclx_profile = nclx.get();
    Check(heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), nullptr));

    Bytes bytes;
    heif_writer writer{};
    writer.writer_api_version = 1;
    writer.write = [](heif_context*, const void* data, size_t size, void* userdata) {
        auto* out = static_cast<Bytes*>(userdata);
        out->insert(out->end(), static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
        return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
    };
    Check(heif_context_write(context.get(), &writer, &bytes));
    return bytes;
}

// The four quadrants of a w x h picture in their own colours: red, green / blue, white.
constexpr std::array<Color32, 4> kQuadrants = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};

HeifSource Quadrants(int w, int h) {
    HeifSource source(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Color32 c = kQuadrants[static_cast<std::size_t>((y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1))];
            source.At(x, y) = {gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c), 255};
        }
    }
    return source;
}

// The colour of each quadrant's middle, top left, top right, bottom left, bottom right.
std::array<Color32, 4> QuadrantColours(const TBitmap32& b) {
    const int w = b.Width();
    const int h = b.Height();
    return {b.Pixel(w / 4, h / 4), b.Pixel(3 * w / 4, h / 4), b.Pixel(w / 4, 3 * h / 4), b.Pixel(3 * w / 4, 3 * h / 4)};
}

class HeifPictures : public testing_support::ReferenceToolTest {};

TEST_F(HeifPictures, LibheifsOwnPicturesShowAsItsConverterShowsThem) {
    // Exactly: libheif turns the coded picture into 8-bit RGB(A) for both, and its converter
    // writes those samples to the PNG unchanged.
    const std::vector<std::pair<std::string, gfx::IntSize>> files = {
        {"examples/example.heic", {1280, 854}},  // two images with thumbnails: the primary one
        {"examples/example.avif", {800, 533}},
        {"fuzzing/corpus/colors-no-alpha-thumbnail.heic", {72, 72}},  // not its 64 x 64 thumbnail
        {"fuzzing/corpus/colors-with-alpha-thumbnail.heic", {72, 72}},
        {"fuzzing/corpus/colors-with-alpha.heic", {64, 64}},
    };
    for (const auto& [name, size] : files) {
        SCOPED_TRACE(name);
        const fs::path file = kLibheif / name;
        const Decoded d = Decode(ReadBytes(file.string()));
        ASSERT_TRUE(d.picture) << d.why;
        EXPECT_EQ(d.picture->size, size);
        const TBitmap32 reference = HeifConvert(file, Folder());
        ASSERT_EQ(d.Still().Width(), reference.Width());
        ASSERT_EQ(d.Still().Height(), reference.Height());
        EXPECT_EQ(MaxDifference(d.Still(), reference), 0);
    }
    const Decoded alpha = Decode(ReadBytes((kLibheif / "fuzzing/corpus/colors-with-alpha.heic").string()));
    ASSERT_TRUE(alpha.picture);
    const TBitmap32& b = alpha.Still();
    EXPECT_TRUE(std::any_of(b.Bits(), b.Bits() + b.Width() * b.Height(), [](Color32 c) {
        return gfx::AlphaOf(c) < 255;
    })) << "its alpha channel is kept";
}

TEST_F(HeifPictures, EveryOrientationShowsUprightAtItsUprightSize) {
    // 64 x 32 stored; what shows in each quadrant (top left, top right, bottom left, bottom right)
    // of the upright picture, by the meaning of each orientation, and whether the sides swap.
    const auto [R, G, B, W] = kQuadrants;
    struct Case {
        heif_orientation orientation;
        bool swapped;
        std::array<Color32, 4> upright;
    };
    const std::vector<Case> cases = {
        {heif_orientation_normal, false, {R, G, B, W}},
        {heif_orientation_flip_horizontally, false, {G, R, W, B}},
        {heif_orientation_rotate_180, false, {W, B, G, R}},
        {heif_orientation_flip_vertically, false, {B, W, R, G}},
        {heif_orientation_rotate_90_cw_then_flip_horizontally, true, {R, B, G, W}},
        {heif_orientation_rotate_90_cw, true, {B, R, W, G}},
        {heif_orientation_rotate_90_cw_then_flip_vertically, true, {W, G, B, R}},
        {heif_orientation_rotate_270_cw, true, {G, W, R, B}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.orientation));
        HeifSource source = Quadrants(64, 32);
        source.orientation = c.orientation;
        const fs::path file = Put("turned.avif", EncodeHeif(source));
        const Decoded d = Decode(ReadBytes(file.string()));
        ASSERT_TRUE(d.picture) << d.why;
        EXPECT_EQ(d.picture->size, (c.swapped ? gfx::IntSize{32, 64} : gfx::IntSize{64, 32}));
        EXPECT_EQ(QuadrantColours(d.Still()), c.upright);
        EXPECT_EQ(MaxDifference(d.Still(), HeifConvert(file, Folder())), 0);
    }
}

TEST_F(HeifPictures, AnOddSizedHevcPictureShowsCroppedToItsSize) {
    // HEVC codes whole blocks: libheif pads the picture and records a crop, which applies.
    HeifSource source = Quadrants(61, 37);
    source.format = heif_compression_HEVC;
    source.lossless = false;
    source.orientation = heif_orientation_rotate_90_cw;
    const Bytes bytes = EncodeHeif(source);

    const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(), heif_context_free);
    ASSERT_EQ(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr).code,
              heif_error_Ok);
    heif_image_handle* handle = nullptr;
    ASSERT_EQ(heif_context_get_primary_image_handle(context.get(), &handle).code, heif_error_Ok);
    const int coded = heif_image_handle_get_ispe_width(handle);
    heif_image_handle_release(handle);
    ASSERT_NE(coded, 61) << "the coded picture is larger than the picture";

    gfx::THeifDecoder decoder;
    ASSERT_TRUE(decoder.Open(bytes)) << decoder.Failure();
    EXPECT_EQ(decoder.Size(), (gfx::IntSize{37, 61})) << "cropped, then turned";
    const auto picture = decoder.Frames();
    ASSERT_TRUE(picture) << decoder.Failure();
    const TBitmap32& b = picture->frames.front().bitmap;
    ASSERT_EQ(b.Width(), 37);
    ASSERT_EQ(b.Height(), 61);
    const auto [R, G, B, W] = kQuadrants;
    const std::array<Color32, 4> expected = {B, R, W, G};
    const std::array<Color32, 4> seen = QuadrantColours(b);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(Near(seen[i], expected[i], 24)) << i << ": " << std::hex << seen[i];
    }
    // The last row and column are the picture's, not padding.
    EXPECT_TRUE(Near(b.Pixel(36, 60), G, 24)) << std::hex << b.Pixel(36, 60);
    EXPECT_TRUE(Near(b.Pixel(0, 60), W, 24)) << std::hex << b.Pixel(0, 60);
}

TEST_F(HeifPictures, AlphaIsKeptStraight) {
    HeifSource source(16, 8);
    source.alpha = true;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            source.At(x, y) = {static_cast<std::uint16_t>(x * 16), 200, static_cast<std::uint16_t>(y * 30),
                               static_cast<std::uint16_t>((x + 16 * y) * 2)};
        }
    }
    const Decoded d = Decode(EncodeHeif(source));
    ASSERT_TRUE(d.picture) << d.why;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const auto& s = source.At(x, y);
            ASSERT_EQ(d.Still().Pixel(x, y),
                      gfx::MakeColor32(static_cast<std::uint8_t>(s[0]), static_cast<std::uint8_t>(s[1]),
                                       static_cast<std::uint8_t>(s[2]), static_cast<std::uint8_t>(s[3])))
                << x << "," << y;
        }
    }

    // Stored premultiplied: the colours divided by alpha again (those of alpha 0 stay).
    HeifSource premultiplied(4, 1);
    premultiplied.alpha = true;
    premultiplied.premultiplied = true;
    premultiplied.At(0, 0) = {100, 50, 0, 128};
    premultiplied.At(1, 0) = {10, 20, 30, 255};
    premultiplied.At(2, 0) = {64, 64, 64, 64};
    premultiplied.At(3, 0) = {0, 0, 0, 0};
    const Decoded p = Decode(EncodeHeif(premultiplied));
    ASSERT_TRUE(p.picture) << p.why;
    EXPECT_EQ(p.Still().Pixel(0, 0), gfx::MakeColor32(199, 100, 0, 128));  // 100 x 255 / 128 = 199.2
    EXPECT_EQ(p.Still().Pixel(1, 0), gfx::MakeColor32(10, 20, 30, 255));
    EXPECT_EQ(p.Still().Pixel(2, 0), gfx::MakeColor32(255, 255, 255, 64));
    EXPECT_EQ(p.Still().Pixel(3, 0), gfx::MakeColor32(0, 0, 0, 0));
}

// Samples of 16 bits (red, green, blue, alpha) as avifenc takes them from a PNG.
using Samples16 = std::vector<std::array<std::uint16_t, 4>>;

// The 16-bit sample that avifenc reduces to `code` of `bits` bits.
std::uint16_t Widened(int code, int bits) {
    return static_cast<std::uint16_t>(std::lround(code * 65535.0 / ((1 << bits) - 1)));
}

// The samples of a deep AVIF as libheif decodes them, before any reduction to 8 bits.
Samples16 StoredSamples(const Bytes& bytes) {
    const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(), heif_context_free);
    Check(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr));
    heif_image_handle* handle = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &handle));
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> owned(handle,
                                                                                       heif_image_handle_release);
    heif_image* raw = nullptr;
    Check(heif_decode_image(handle, &raw, heif_colorspace_RGB, heif_chroma_interleaved_RRGGBBAA_LE, nullptr));
    const std::unique_ptr<heif_image, void (*)(const heif_image*)> image(raw, heif_image_release);
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int h = heif_image_get_height(image.get(), heif_channel_interleaved);
    Samples16 samples;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = plane + static_cast<std::ptrdiff_t>(y) * stride + x * 8;
            samples.push_back(
                {static_cast<std::uint16_t>(p[0] | p[1] << 8), static_cast<std::uint16_t>(p[2] | p[3] << 8),
                 static_cast<std::uint16_t>(p[4] | p[5] << 8), static_cast<std::uint16_t>(p[6] | p[7] << 8)});
        }
    }
    return samples;
}

// libaom through libheif 1.15 cannot write 10-bit AV1 (it stops on an assertion), so the deep
// pictures come from avifenc, losslessly, from a 16-bit PNG.
Bytes Avifenc(int width, const Samples16& samples, const std::string& options, const fs::path& folder) {
    testing_support::PngImage png;
    png.width = width;
    png.height = static_cast<int>(samples.size()) / width;
    png.colorType = 6;
    png.bitDepth = 16;
    for (int y = 0; y < png.height; ++y) {
        Bytes row;
        for (int x = 0; x < width; ++x) {
            for (const std::uint16_t v : samples[static_cast<std::size_t>(y * width + x)]) {
                row.push_back(static_cast<std::uint8_t>(v >> 8));
                row.push_back(static_cast<std::uint8_t>(v & 0xFF));
            }
        }
        png.rows.push_back(row);
    }
    const fs::path in = folder / "deep.png";
    const fs::path out = folder / "deep.avif";
    testing_support::WriteBytes(in.string(), testing_support::EncodePng(png));
    fs::remove(out);
    const std::string said =
        RunTool("avifenc -l " + options + " '" + in.string() + "' '" + out.string() + "'", folder.string());
    if (!fs::exists(out)) {
        throw std::runtime_error("avifenc failed: " + said);
    }
    return ReadBytes(out.string());
}

TEST_F(HeifPictures, TenAndTwelveBitSamplesAreRoundedToEightBits) {
    for (const int bits : {10, 12}) {
        SCOPED_TRACE(bits);
        const int top = (1 << bits) - 1;
        // Every sample value once in red, reversed in green, halved in blue, as alpha too.
        const int width = 64;
        Samples16 source;
        for (int i = 0; i <= top; ++i) {
            source.push_back({Widened(i, bits), Widened(top - i, bits), Widened(i / 2, bits), Widened(i, bits)});
        }
        const Bytes bytes = Avifenc(width, source, "-d " + std::to_string(bits), Folder());
        const Samples16 stored = StoredSamples(bytes);
        ASSERT_EQ(stored.size(), source.size());
        ASSERT_EQ(stored[5][0], 5) << "samples of " << bits << " bits, as made";
        const Decoded d = Decode(bytes);
        ASSERT_TRUE(d.picture) << d.why;
        const auto rounded = [top](int v) { return static_cast<int>(std::lround(v * 255.0 / top)); };
        for (int i = 0; i <= top; ++i) {
            const Color32 c = d.Still().Pixel(i % width, i / width);
            const auto& s = stored[static_cast<std::size_t>(i)];
            ASSERT_EQ(gfx::RedOf(c), rounded(s[0])) << i;
            ASSERT_EQ(gfx::GreenOf(c), rounded(s[1])) << i;
            ASSERT_EQ(gfx::BlueOf(c), rounded(s[2])) << i;
            ASSERT_EQ(gfx::AlphaOf(c), rounded(s[3])) << i;
        }
    }
}

// The 10-bit PQ code of a light level in nits (ST 2084).
int PqCode(double nits) {
    const double m1 = 2610.0 / 16384;
    const double m2 = 2523.0 / 4096 * 128;
    const double c1 = 3424.0 / 4096;
    const double c2 = 2413.0 / 4096 * 32;
    const double c3 = 2392.0 / 4096 * 32;
    const double y = std::pow(nits / 10000.0, m1);
    return static_cast<int>(std::lround(1023.0 * std::pow((c1 + c2 * y) / (1 + c3 * y), m2)));
}

// The 8-bit sRGB code of linear light in 0 .. 1.
int SrgbCode(double light) {
    const double v = light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(255 * v));
}

TEST_F(HeifPictures, HdrPicturesAreToneMappedNeitherWashedOutNorClipped) {
    // Greys of BT.2020 PQ at known light levels, and BT.2020 red at reference white.
    const std::vector<double> nits = {0, 36.54, 100, 203, 400, 600, 1000};
    Samples16 pq;
    for (const double n : nits) {
        const std::uint16_t v = Widened(PqCode(n), 10);
        pq.push_back({v, v, v, 65535});
    }
    pq.push_back({Widened(PqCode(203), 10), 0, 0, 65535});
    const Bytes pqBytes = Avifenc(static_cast<int>(pq.size()), pq, "-d 10 --cicp 9/16/0", Folder());
    ASSERT_EQ(StoredSamples(pqBytes)[3][0], PqCode(203));
    const Decoded d = Decode(pqBytes);
    ASSERT_TRUE(d.picture) << d.why;
    std::vector<int> grey;
    for (std::size_t i = 0; i < nits.size(); ++i) {
        const Color32 c = d.Still().Pixel(static_cast<int>(i), 0);
        EXPECT_EQ(gfx::RedOf(c), gfx::GreenOf(c));
        EXPECT_EQ(gfx::GreenOf(c), gfx::BlueOf(c));
        grey.push_back(gfx::RedOf(c));
    }
    EXPECT_EQ(grey[0], 0) << "black stays black";
    // Below the knee light is as SDR shows it: 18 % of reference white is mid grey.
    EXPECT_NEAR(grey[1], SrgbCode(0.18), 2);
    EXPECT_NEAR(grey[2], SrgbCode(100.0 / 203), 2);
    // Reference white is bright, far above the 148 its PQ code would show as if it were sRGB...
    EXPECT_NEAR(grey[3], SrgbCode(gfx::TToneMap(gfx::kSrgbPrimaries, gfx::TTransfer::Pq, 10).Knee(1.0f)), 1);
    EXPECT_GE(grey[3], 235);
    // ...and brighter light keeps its steps up to the peak, where full scale is reached.
    EXPECT_LT(grey[3], grey[4]);
    EXPECT_LT(grey[4], grey[5]);
    EXPECT_LT(grey[5], 255) << "600 nits is not clipped";
    EXPECT_EQ(grey[6], 255);
    const Color32 red = d.Still().Pixel(static_cast<int>(nits.size()), 0);
    EXPECT_GT(gfx::RedOf(red), 230);
    EXPECT_LT(gfx::RedOf(red), 255) << "a saturated colour is rolled off, not clipped";
    EXPECT_LT(gfx::GreenOf(red), 40);
    EXPECT_LT(gfx::BlueOf(red), 40);

    // HLG: a 75 % signal is reference white, as bright as PQ's 203 nits.
    const std::uint16_t code75 = Widened(static_cast<int>(std::lround(0.75 * 1023)), 10);
    const Samples16 hlg = {{code75, code75, code75, 65535}, {65535, 65535, 65535, 65535}};
    const Decoded h = Decode(Avifenc(2, hlg, "-d 10 --cicp 9/18/0", Folder()));
    ASSERT_TRUE(h.picture) << h.why;
    EXPECT_NEAR(gfx::RedOf(h.Still().Pixel(0, 0)), grey[3], 2);
    EXPECT_EQ(gfx::RedOf(h.Still().Pixel(1, 0)), 255);
}

TEST_F(HeifPictures, OtherPrimariesShowInSrgb) {
    // sRGB red as Display P3 codes it (0.9175, 0.2003, 0.1387) shows as sRGB red again; white
    // stays white. Taken as sRGB, the P3 codes would show a dull orange-red.
    HeifSource p3(2, 1);
    p3.primaries = 12;
    p3.At(0, 0) = {234, 51, 35, 255};
    p3.At(1, 0) = {255, 255, 255, 255};
    const Decoded d = Decode(EncodeHeif(p3));
    ASSERT_TRUE(d.picture) << d.why;
    EXPECT_TRUE(Near(d.Still().Pixel(0, 0), 0xFFFF0000u, 3)) << std::hex << d.Still().Pixel(0, 0);
    EXPECT_TRUE(Near(d.Still().Pixel(1, 0), 0xFFFFFFFFu, 1)) << std::hex << d.Still().Pixel(1, 0);
}

TEST_F(HeifPictures, AnEmbeddedIccProfileIsHandedOnAndItsColoursLeftToIt) {
    // Display P3 colours with a profile: the profile says what they are, not the nclx box.
    HeifSource p3(1, 1);
    p3.primaries = 12;
    p3.At(0, 0) = {234, 51, 35, 255};
    for (int i = 0; i < 300; ++i) {
        p3.icc.push_back(static_cast<std::uint8_t>(i * 7));
    }
    const Bytes bytes = EncodeHeif(p3);
    gfx::THeifDecoder decoder;
    ASSERT_TRUE(decoder.Open(bytes)) << decoder.Failure();
    EXPECT_EQ(decoder.IccProfile(), p3.icc);
    const auto picture = decoder.Frames();
    ASSERT_TRUE(picture) << decoder.Failure();
    EXPECT_EQ(picture->frames.front().bitmap.Pixel(0, 0), 0xFFEA3323u) << "as coded, for the profile to convert";

    const Bytes plain = ReadBytes((kLibheif / "examples/example.avif").string());
    gfx::THeifDecoder none;
    ASSERT_TRUE(none.Open(plain));
    EXPECT_TRUE(none.IccProfile().empty());
}

TEST_F(HeifPictures, APhonesTiledPictureShowsWhole) {
    // 3 x 2 tiles of 64, the last column and row cropped: each quadrant's colour in its place.
    TBitmap32 bitmap(150, 100);
    for (int i = 0; i < 4; ++i) {
        bitmap.FillRect(gfx::IntRect::FromSize(i % 2 * 75, i / 2 * 50, 75, 50),
                        kQuadrants[static_cast<std::size_t>(i)]);
    }
    const fs::path file = Put("tiled.heic", testing_support::EncodeTiledHeic(bitmap, 64, 95));
    const Decoded d = Decode(ReadBytes(file.string()));
    ASSERT_TRUE(d.picture) << d.why;
    EXPECT_EQ(d.picture->size, (gfx::IntSize{150, 100}));
    const std::array<Color32, 4> seen = QuadrantColours(d.Still());
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(Near(seen[i], kQuadrants[i], 24)) << i << ": " << std::hex << seen[i];
    }
    EXPECT_EQ(MaxDifference(d.Still(), HeifConvert(file, Folder())), 0);
}

TEST_F(HeifPictures, ADamagedFileGivesLibheifsReason) {
    const Bytes whole = ReadBytes((kLibheif / "examples/example.heic").string());
    for (const std::size_t cut : {std::size_t{0}, std::size_t{40}, whole.size() / 3}) {
        SCOPED_TRACE(cut);
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        const fs::path file = Put("cut.heic", part);
        gfx::THeifDecoder decoder;
        EXPECT_FALSE(testing_support::OpenAndDecode(decoder, part));
        ASSERT_FALSE(decoder.Failure().empty());
        // libheif's own tool reports the same message.
        const std::string info = RunTool("heif-info '" + file.string() + "'", Folder().string());
        EXPECT_NE(info.find(decoder.Failure()), std::string::npos) << decoder.Failure() << " / " << info;
    }
}

TEST_F(HeifPictures, ASizeBeyondThePixelCapIsRefusedBeforeDecoding) {
    // A small picture whose image size property claims 8192 x 4097: one row beyond the cap.
    Bytes bytes = EncodeHeif(Quadrants(16, 16));
    const std::string ispe = "ispe";
    const auto at = std::search(bytes.begin(), bytes.end(), ispe.begin(), ispe.end());
    ASSERT_NE(at, bytes.end());
    const auto put = [](Bytes::iterator p, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
        }
    };
    put(at + 8, 8192);
    put(at + 12, 4097);
    gfx::THeifDecoder decoder;
    EXPECT_FALSE(decoder.Open(bytes));
    EXPECT_EQ(decoder.Failure(), gfx::BeyondCap(8192, 4097));
    EXPECT_EQ(decoder.StatedSize(), (gfx::IntSize{8192, 4097}));
    EXPECT_FALSE(decoder.Frames());
}

// A picture whose every part differs from the others: gradients across and down, and a checker
// of uneven squares, so that a tile in the wrong place, turned or mirrored shows.
TBitmap32 Detailed(int w, int h) {
    TBitmap32 bitmap(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const auto blue = static_cast<std::uint8_t>((x / 37 + y / 23) % 2 * 200);
            bitmap.SetPixel(x, y, gfx::MakeColor32(static_cast<std::uint8_t>(x * 255 / w),
                                                   static_cast<std::uint8_t>(y * 255 / h), blue));
        }
    }
    return bitmap;
}

// The whole picture averaged down as the tiles are, in one piece.
TBitmap32 ReducedWhole(const TBitmap32& whole, gfx::IntSize size) {
    gfx::TAreaReducer reducer(whole.BoundsRect(), size);
    reducer.Add({0, 0}, whole);
    return reducer.Take();
}

// A grid beyond a lowered pixel cap decoded tile by tile, against the whole picture libheif
// decodes (under the real cap) reduced to the same size: equal but for the rounding of sums.
void ExpectTilesMatchTheWhole(const Bytes& file, std::int64_t cap, std::optional<gfx::IntSize> drawn = {}) {
    gfx::THeifDecoder whole;
    const auto all = testing_support::OpenAndDecode(whole, file);
    ASSERT_TRUE(all) << whole.Failure();
    const TBitmap32& picture = all->frames.front().bitmap;

    gfx::THeifDecoder tiled(cap);
    ASSERT_TRUE(tiled.Open(file)) << tiled.Failure();
    const gfx::IntSize size = tiled.Size();
    EXPECT_LE(std::int64_t{size.width} * size.height, cap);
    EXPECT_NEAR(static_cast<double>(size.width) / size.height,
                static_cast<double>(picture.Width()) / picture.Height(), 0.02);
    EXPECT_EQ(tiled.StatedSize(), (gfx::IntSize{picture.Width(), picture.Height()}));
    if (drawn) {
        tiled.ReduceFor(*drawn);
    }
    const auto reduced = tiled.Frames();
    ASSERT_TRUE(reduced) << tiled.Failure();
    const TBitmap32& seen = reduced->frames.front().bitmap;
    if (drawn) {
        // Covers its place, no larger than that needs.
        EXPECT_TRUE(seen.Width() >= drawn->width && seen.Height() >= drawn->height);
        EXPECT_TRUE(seen.Width() == drawn->width || seen.Height() == drawn->height);
    } else {
        EXPECT_EQ((gfx::IntSize{seen.Width(), seen.Height()}), size);
    }
    EXPECT_EQ(reduced->size, (gfx::IntSize{seen.Width(), seen.Height()}));
    EXPECT_LE(MaxDifference(seen, ReducedWhole(picture, {seen.Width(), seen.Height()})), 1);
}

TEST_F(HeifPictures, ATiledPictureBeyondTheCapIsShownReducedTileByTile) {
    // 5 x 4 tiles of 64 (the encoder's least size: a smaller tile is coded padded, and libheif
    // then pastes its padding over its neighbours), the last column and row cropped; the cap a
    // third of the picture.
    const Bytes file = testing_support::EncodeTiledHeic(Detailed(300, 200), 64, 95);
    {
        SCOPED_TRACE("reduced to fit the cap");
        ExpectTilesMatchTheWhole(file, 20000);
    }
    {
        SCOPED_TRACE("reduced further to its place");
        ExpectTilesMatchTheWhole(file, 20000, gfx::IntSize{90, 40});
    }
}

TEST_F(HeifPictures, ATiledPicturesRotationMirrorAndCropApplyAsToTheWhole) {
    using testing_support::TGridTransform;
    const TBitmap32 bitmap = Detailed(200, 130);
    const std::vector<std::vector<TGridTransform>> cases = {
        {{"irot", 1}},
        {{"irot", 3}, {"imir", 0}},
        {{"imir", 1}},
        {{"clap", 0, 150, 90, -21, 13}, {"irot", 2}},
        {{"irot", 1}, {"clap", 0, 101, 161, 8, -5}, {"imir", 1}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Bytes file = testing_support::EncodeTiledHeic(bitmap, 64, 95, cases[i]);
        ExpectTilesMatchTheWhole(file, 8000);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_F(HeifPictures, ATiledPicturesAlphaGoesWithItsTiles) {
    // Alpha across, from clear to opaque, and a clear band: colours of clear pixels weigh nothing.
    TBitmap32 bitmap = Detailed(200, 130);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const auto alpha = static_cast<std::uint8_t>(y >= 40 && y < 52 ? 0 : x * 255 / (bitmap.Width() - 1));
            bitmap.SetPixel(x, y, (bitmap.Pixel(x, y) & 0x00FFFFFFu) | (Color32{alpha} << 24));
        }
    }
    for (const auto& transforms : {std::vector<testing_support::TGridTransform>{},
                                   std::vector<testing_support::TGridTransform>{{"irot", 1}}}) {
        SCOPED_TRACE(transforms.size());
        const Bytes file = testing_support::EncodeTiledHeic(bitmap, 64, 95, transforms, true);
        gfx::THeifDecoder whole;
        ASSERT_TRUE(whole.Open(file)) << whole.Failure();
        const auto all = whole.Frames();
        ASSERT_TRUE(all) << whole.Failure();
        // libheif finds the alpha: the middle of the clear band is clear.
        const TBitmap32& picture = all->frames.front().bitmap;
        const gfx::IntPoint band = transforms.empty() ? gfx::IntPoint{150, 46} : gfx::IntPoint{46, 49};
        EXPECT_LE(gfx::AlphaOf(picture.Pixel(band.x, band.y)), 2);
        ExpectTilesMatchTheWhole(file, 8000);
    }
}

TEST_F(HeifPictures, BeyondTheCapWhatCannotBeDecodedTileByTileIsRefusedWithItsReason) {
    {
        SCOPED_TRACE("a picture not in tiles");
        gfx::THeifDecoder decoder(1000);
        EXPECT_FALSE(decoder.Open(EncodeHeif(Quadrants(64, 64))));
        EXPECT_EQ(decoder.Failure(), gfx::BeyondCap(64, 64));
    }
    const Bytes file = testing_support::EncodeTiledHeic(Detailed(160, 128), 64, 95);
    {
        SCOPED_TRACE("a tile whose parameter sets are garbage");
        // The last tile's decoder configuration: its parameter sets keep their lengths and lose
        // their contents, so that the file opens and the tile alone cannot be decoded.
        Bytes damaged = file;
        const std::string hvcC = "hvcC";
        const auto box = std::find_end(damaged.begin(), damaged.end(), hvcC.begin(), hvcC.end());
        ASSERT_NE(box, damaged.end());
        auto p = box + 4 + 22;
        const int arrays = *p++;
        for (int a = 0; a < arrays; ++a) {
            const int units = (p[1] << 8) | p[2];
            p += 3;
            for (int u = 0; u < units; ++u) {
                const int length = (p[0] << 8) | p[1];
                std::fill_n(p + 2 + 1, length - 1, std::uint8_t{0xFF});  // the NAL header stays
                p += 2 + length;
            }
        }
        gfx::THeifDecoder decoder(8000);
        ASSERT_TRUE(decoder.Open(damaged)) << decoder.Failure();
        EXPECT_FALSE(decoder.Frames());
        const std::string prefix = gfx::BeyondCap(160, 128) + ", and it cannot be decoded tile by tile: tile 7: ";
        EXPECT_EQ(decoder.Failure().substr(0, prefix.size()), prefix) << decoder.Failure();
    }
    {
        SCOPED_TRACE("a tile that is not a coded image");
        Bytes renamed = file;
        const std::string hvc1 = "hvc1";
        const auto at = std::search(renamed.begin(), renamed.end(), hvc1.begin(), hvc1.end());
        ASSERT_NE(at, renamed.end());
        std::copy_n("mime", 4, at);
        gfx::THeifDecoder decoder(8000);
        EXPECT_FALSE(decoder.Open(renamed));
        EXPECT_NE(decoder.Failure().find("cannot be decoded tile by tile: its tile 2 is not a coded image"),
                  std::string::npos)
            << decoder.Failure();
    }
}

TEST(HeifExtensions, PhoneAndWebExtensionsHaveTheirDecoders) {
    for (const char* name : {"IMG_0001.HEIC", "a.heif", "b.hif", "c.avif"}) {
        EXPECT_EQ(gfx::PictureFormatOf(name), gfx::TPictureFormat::Heif) << name;
    }
    EXPECT_EQ(gfx::PictureFormatOf("d.WebP"), gfx::TPictureFormat::Webp);
    EXPECT_NE(gfx::MakeDecoder(gfx::TPictureFormat::Heif), nullptr);
    EXPECT_NE(gfx::MakeDecoder(gfx::TPictureFormat::Webp), nullptr);
}

}  // namespace
