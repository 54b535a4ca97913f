#include "tools/sspack/PictureCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>
#include <vector>

#include "common/Paths.h"
#include "gfx/decode/BmpDecoder.h"
#include "gfx/decode/IcoDecoder.h"
#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureFormats.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/Units.h"

namespace fs = std::filesystem;

namespace sspack {

const char* const kNotAPictureFormat =
    "not a picture format the screen saver can show (it shows JPEG, PNG, GIF, TIFF, BMP, ICO, WMF, EMF, HEIC, HEIF, "
    "AVIF, WebP)";

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr int kDpi = 96;
constexpr int kHimetricPerInch = 2540;

// A picture format as files show it by their first bytes.
struct Family {
    std::string_view name;
    std::string_view ext;  // what to name such a file
};

constexpr Family kJpeg{"JPEG", ".jpg"};
constexpr Family kPng{"PNG", ".png"};
constexpr Family kGif{"GIF", ".gif"};
constexpr Family kTiff{"TIFF", ".tif"};
constexpr Family kBmp{"BMP", ".bmp"};
constexpr Family kIco{"ICO", ".ico"};
constexpr Family kWmf{"WMF", ".wmf"};
constexpr Family kEmf{"EMF", ".emf"};
constexpr Family kWebp{"WebP", ".webp"};
constexpr Family kHeif{"HEIF", ".heic"};
constexpr Family kAvif{"AVIF", ".avif"};

std::uint32_t U16(Bytes b, std::size_t at) { return b[at] | (std::uint32_t{b[at + 1]} << 8); }
std::uint32_t U32(Bytes b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
std::int32_t I16(Bytes b, std::size_t at) { return static_cast<std::int16_t>(U16(b, at)); }
std::int32_t I32(Bytes b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

bool Starts(Bytes b, std::string_view magic, std::size_t at = 0) {
    if (b.size() < at + magic.size()) {
        return false;
    }
    for (std::size_t i = 0; i < magic.size(); ++i) {
        if (b[at + i] != static_cast<std::uint8_t>(magic[i])) {
            return false;
        }
    }
    return true;
}

bool operator==(const Family& a, const Family& b) { return a.name == b.name; }

// "a JPEG", "an AVIF".
std::string A(const Family& family) {
    const bool vowel = std::string_view("AEIOU").find(family.name.front()) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(family.name);
}

std::uint32_t BigU32(Bytes b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

// The family a HEIF brand stands for: AVIF for an AV1 picture or sequence, HEIF for the others.
std::optional<Family> BrandFamily(Bytes b, std::size_t at) {
    using namespace std::string_view_literals;
    for (const auto brand : {"avif"sv, "avis"sv}) {
        if (Starts(b, brand, at)) {
            return kAvif;
        }
    }
    for (const auto brand :
         {"heic"sv, "heix"sv, "heim"sv, "heis"sv, "hevc"sv, "hevx"sv, "hevm"sv, "hevs"sv, "mif1"sv, "msf1"sv}) {
        if (Starts(b, brand, at)) {
            return kHeif;
        }
    }
    return std::nullopt;
}

// A HEIF file starts with its file-type box: a major brand, a version and the compatible brands.
// The major brand says what the file mainly is; a file of another major brand is still a picture
// of ours when one of its compatible brands names one.
std::optional<Family> HeifFamily(Bytes b) {
    using namespace std::string_view_literals;
    if (b.size() < 16 || !Starts(b, "ftyp"sv, 4)) {
        return std::nullopt;
    }
    if (const auto major = BrandFamily(b, 8)) {
        return major;
    }
    const std::size_t end = std::min<std::size_t>(BigU32(b, 0), b.size());
    std::optional<Family> found;
    for (std::size_t at = 16; at + 4 <= end; at += 4) {
        if (const auto family = BrandFamily(b, at); family && (!found || *family == kAvif)) {
            found = family;
        }
    }
    return found;
}

// The runtime's HEIF decoder reads HEIC and AVIF alike, whichever of their extensions a file has.
bool SameDecoder(const Family& held, const Family& expected) {
    const auto heif = [](const Family& f) { return f == kHeif || f == kAvif; };
    return held == expected || (heif(held) && heif(expected));
}

// The family the bytes belong to; nothing when they show none.
std::optional<Family> Sniff(Bytes b) {
    using namespace std::string_view_literals;
    if (Starts(b, "\xFF\xD8\xFF"sv)) {
        return kJpeg;
    }
    if (Starts(b, "\x89PNG"sv)) {
        return kPng;
    }
    if (Starts(b, "GIF8"sv)) {
        return kGif;
    }
    // Classic and big TIFF, either byte order.
    if (Starts(b, "II*\0"sv) || Starts(b, "MM\0*"sv) || Starts(b, "II+\0"sv) || Starts(b, "MM\0+"sv)) {
        return kTiff;
    }
    // Before the icons: a file-type box of 256 bytes starts as an icon directory does.
    if (const auto heif = HeifFamily(b)) {
        return heif;
    }
    if (Starts(b, "BM"sv)) {
        return kBmp;
    }
    if (Starts(b, "\0\0\1\0"sv)) {
        return kIco;
    }
    if (b.size() >= 44 && U32(b, 0) == 1 && U32(b, 40) == kEmfSignature) {
        return kEmf;
    }
    if (b.size() >= 18 && (U32(b, 0) == kPlaceableKey || ((U16(b, 0) == 1 || U16(b, 0) == 2) && U16(b, 2) == 9))) {
        return kWmf;
    }
    if (Starts(b, "RIFF"sv) && Starts(b, "WEBP"sv, 8)) {
        return kWebp;
    }
    return std::nullopt;
}

// The family the runtime takes a file of this extension for.
std::optional<Family> FamilyOfExtension(const std::string& ext) {
    switch (gfx::PictureFormatOf(ext)) {
        case gfx::TPictureFormat::Jpeg: return kJpeg;
        case gfx::TPictureFormat::Png: return kPng;
        case gfx::TPictureFormat::Gif: return kGif;
        case gfx::TPictureFormat::Tiff: return kTiff;
        case gfx::TPictureFormat::Webp: return kWebp;
        case gfx::TPictureFormat::Heif: return core::UpperCase(ext) == ".AVIF" ? kAvif : kHeif;
        case gfx::TPictureFormat::Unknown: return std::nullopt;
        case gfx::TPictureFormat::System: break;
    }
    const std::string upper = core::UpperCase(ext);
    return upper == ".ICO" ? kIco : upper == ".WMF" ? kWmf : upper == ".EMF" ? kEmf : kBmp;
}

bool TooManyPixels(gfx::IntSize size) {
    return size.width > 0 && size.height > 0 && std::int64_t{size.width} * size.height > gfx::kMaxPicturePixels;
}

std::string TooManyPixelsText(gfx::IntSize size, const char* note = "") {
    return std::to_string(size.width) + " \u00D7 " + std::to_string(size.height) + " is more than the " +
           Grouped(gfx::kMaxPicturePixels) + " pixels the screen saver decodes" + note;
}

// With the decoder's own reason, when it gives one.
std::string Undecodable(const Family& family, const std::string& why = {}) {
    return "a damaged " + std::string(family.name) + " file, or a kind of " + std::string(family.name) +
           " the screen saver cannot decode" + (why.empty() ? "" : " (" + why + ")");
}

std::optional<std::string> DecoderProblem(gfx::TPictureFormat format, const Family& family, Bytes bytes) {
    const auto decoder = gfx::MakeDecoder(format);
    if (!decoder->Open(bytes)) {
        if (TooManyPixels(decoder->StatedSize())) {
            // A JPEG that large is decoded at a half, a quarter or an eighth of its size.
            return TooManyPixelsText(decoder->StatedSize(),
                                     format == gfx::TPictureFormat::Jpeg ? ", even at an eighth of its size" : "");
        }
        return Undecodable(family, decoder->Failure());
    }
    if (!decoder->Frames()) {
        return Undecodable(family, decoder->Failure());
    }
    return std::nullopt;
}

int MulDiv(int a, int b, int c) { return static_cast<int>((std::int64_t{a} * b + c / 2) / c); }

std::optional<std::string> MetafileSizeProblem(const Family& family, gfx::IntSize size) {
    if (size.width <= 0 || size.height <= 0) {
        return A(family) + " file whose frame is empty, so there is nothing to draw";
    }
    return TooManyPixels(size) ? std::optional(TooManyPixelsText(size)) : std::nullopt;
}

// As far as the headers go: the size the picture is drawn at, from its frame in hundredths of a
// millimetre (EMF) or from its bounds in units of its own inch (placeable WMF).
std::optional<std::string> MetafileProblem(const Family& family, Bytes b) {
    if (family == kEmf) {
        const int width = std::abs(I32(b, 32) - I32(b, 24));
        const int height = std::abs(I32(b, 36) - I32(b, 28));
        return MetafileSizeProblem(family,
                                   {MulDiv(width, kDpi, kHimetricPerInch), MulDiv(height, kDpi, kHimetricPerInch)});
    }
    if (U32(b, 0) != kPlaceableKey) {
        return std::nullopt;  // the system finds the size of a metafile without bounds
    }
    const int inch = static_cast<int>(U16(b, 14));
    if (inch == 0) {
        return "a WMF file whose header gives no unit for its bounds";
    }
    return MetafileSizeProblem(family, {MulDiv(std::abs(I16(b, 10) - I16(b, 6)), kDpi, inch),
                                        MulDiv(std::abs(I16(b, 12) - I16(b, 8)), kDpi, inch)});
}

std::optional<std::string> ContentProblem(const Family& family, const std::string& ext, Bytes bytes) {
    const gfx::TPictureFormat format = gfx::PictureFormatOf(ext);
    if (format != gfx::TPictureFormat::System) {
        return DecoderProblem(format, family, bytes);
    }
    if (family == kBmp) {
        if (gfx::DecodeBmp(bytes.data(), bytes.size())) {
            return std::nullopt;
        }
        const auto stated = gfx::StatedBmpSize(bytes.data(), bytes.size());
        return stated && TooManyPixels(*stated) ? TooManyPixelsText(*stated) : Undecodable(family);
    }
    if (family == kIco) {
        if (gfx::DecodeIco(bytes)) {
            return std::nullopt;
        }
        const auto stated = gfx::LargestIconSize(bytes);
        return stated && TooManyPixels(*stated) ? TooManyPixelsText(*stated) : Undecodable(family);
    }
    return MetafileProblem(family, bytes);
}

// Windows reads a bitmap of any length, and refuses it only for its pixels; the other formats are
// read whole into memory, up to a limit.
std::string LargeFileProblem(const std::string& path, const Family& family, std::int64_t size) {
    if (family == kBmp) {
        std::uint8_t head[64] = {};
        std::ifstream in(path, std::ios::binary);
        in.read(reinterpret_cast<char*>(head), sizeof head);
        const auto stated = gfx::StatedBmpSize(head, static_cast<std::size_t>(in.gcount()));
        if (stated && TooManyPixels(*stated)) {
            return TooManyPixelsText(*stated);
        }
    }
    return "a picture file of " + Grouped(size) + " bytes is more than the " + Grouped(gfx::kMaxPictureFileBytes) +
           " the screen saver reads";
}

}  // namespace

std::optional<std::string> PictureProblem(const std::string& path, const std::string& ext) {
    const auto expected = FamilyOfExtension(ext);
    if (!expected) {
        return kNotAPictureFormat;
    }
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        return "cannot be read";
    }
    if (static_cast<std::int64_t>(size) > gfx::kMaxPictureFileBytes) {
        return LargeFileProblem(path, *expected, static_cast<std::int64_t>(size));
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const FileIoError&) {
        return "cannot be read";
    }
    const auto held = Sniff(bytes);
    if (!held) {
        return bytes.empty() ? "an empty file" : "not a " + std::string(expected->name) + " file";
    }
    if (!SameDecoder(*held, *expected)) {
        return A(*held) + " picture under the extension " + ext +
               "; the screen saver takes a picture by its extension: name it " + std::string(held->ext);
    }
    return ContentProblem(*expected, ext, bytes);
}

}  // namespace sspack
