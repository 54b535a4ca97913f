#include "gfx/decode/PngDecoder.h"

#include <bit>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <png.h>

#include "gfx/decode/Limits.h"

namespace gfx {

namespace {

static_assert(std::endian::native == std::endian::little, "BGRA bytes must make 0xAARRGGBB pixels");

// Text and profile chunks are inflated in memory; none of ours needs more.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
// Deflate never packs more than this many bytes into one.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

struct Source {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

// The library's own words for the failure go where the session keeps them.
[[noreturn]] void Fail(png_structp png, png_const_charp message) {
    auto* why = static_cast<std::string*>(png_get_error_ptr(png));
    try {
        *why = message != nullptr ? message : "damaged";
    } catch (const std::bad_alloc&) {
    }
    png_longjmp(png, 1);
}

void Ignore(png_structp, png_const_charp) {}

void Read(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->at) {
        png_error(png, "truncated");
    }
    std::memcpy(out, source->bytes.data() + source->at, count);
    source->at += count;
}

// libpng reads each chunk before the pixels into a buffer of the size its header claims, and only
// warns when that is beyond the chunk limit: a header claiming a gigabyte in a tiny file would cost
// a gigabyte. So the chunks up to the first IDAT are walked first; one larger than the limit, or
// than what is left of the file, is refused. The pixels' own chunks are read piece by piece.
std::string OversizedChunk(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kSignature = 8;
    constexpr std::size_t kFraming = 12;  // length, type, checksum
    for (std::size_t at = kSignature; at + kFraming <= bytes.size();) {
        const std::uint32_t length = std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
                                     std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
        const std::string type(reinterpret_cast<const char*>(bytes.data() + at + 4), 4);
        if (type == "IDAT") {
            break;
        }
        if (length > kMaxChunkBytes || length > bytes.size() - at - kFraming) {
            return "its " + type + " chunk claims " + std::to_string(length) + " bytes";
        }
        at += kFraming + length;
    }
    return {};
}

// Whether the bytes left could hold the picture's rows even at deflate's best ratio: a header
// that promises far more than the file holds is refused before the picture is allocated.
bool RoomForRows(png_structp png, png_infop info, std::size_t bytesLeft) {
    const std::uint64_t bitsPerPixel = std::uint64_t{png_get_channels(png, info)} * png_get_bit_depth(png, info);
    const std::uint64_t rowBytes = 1 + (std::uint64_t{png_get_image_width(png, info)} * bitsPerPixel + 7) / 8;
    return png_get_image_height(png, info) * rowBytes <= (std::uint64_t{bytesLeft} + 1) * kMaxDeflateRatio;
}

// One reader over the bytes. Every libpng call runs inside Run, so that its errors come back as
// false with Why saying why; the steps given to Run hold nothing that needs destroying.
class Session {
public:
    explicit Session(std::span<const std::uint8_t> bytes) : source_{bytes} {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &why_, Fail, Ignore);
        if (png_ != nullptr) {
            info_ = png_create_info_struct(png_);
            png_set_read_fn(png_, &source_, Read);
            png_set_chunk_malloc_max(png_, kMaxChunkBytes);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
            // Mutated inputs would otherwise stop at the first checksum.
            png_set_crc_action(png_, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
            png_set_option(png_, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
        }
    }
    ~Session() { png_destroy_read_struct(&png_, &info_, nullptr); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    template <typename Step>
    bool Run(Step step) {
        if (info_ == nullptr) {
            why_ = "out of memory";
            return false;
        }
        if (setjmp(png_jmpbuf(png_)) != 0) {
            return false;
        }
        step(png_, info_);
        return true;
    }

    // Reads the chunks up to the pixels; the picture's size when the cap allows it. The size the
    // header states goes to `stated` either way.
    std::optional<IntSize> Start(IntSize* stated = nullptr) {
        why_ = OversizedChunk(source_.bytes);
        if (!why_.empty() || !Run([](png_structp png, png_infop info) { png_read_info(png, info); })) {
            return std::nullopt;
        }
        const png_uint_32 width = png_get_image_width(png_, info_);
        const png_uint_32 height = png_get_image_height(png_, info_);
        if (stated != nullptr) {
            *stated = {ClampedDimension(width), ClampedDimension(height)};
        }
        if (!PictureSizeAllowed(width, height)) {
            why_ = BeyondCap(width, height);
            return std::nullopt;
        }
        if (!RoomForRows(png_, info_, source_.bytes.size() - source_.at)) {
            why_ = "the file is far too short for its size";
            return std::nullopt;
        }
        return IntSize{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    }

    png_structp Png() const { return png_; }
    png_infop Info() const { return info_; }
    const std::string& Why() const { return why_; }

private:
    std::string why_;
    Source source_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// The profile of an iCCP chunk, which libpng has checked already. Grey pictures have grey
// profiles, which do not describe the RGB rows they are decoded to; an sRGB chunk or the gamma
// and chromaticities chunks describe a picture as sRGB or near it, taken as sRGB.
std::vector<std::uint8_t> IccProfileOf(png_structp png, png_infop info) {
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if ((png_get_color_type(png, info) & PNG_COLOR_MASK_COLOR) == 0 ||
        png_get_iCCP(png, info, &name, &compression, &profile, &length) == 0 || profile == nullptr) {
        return {};
    }
    return {profile, profile + length};
}

// Every colour type and depth becomes 8-bit B, G, R, A; interlaced rows are put together by libpng.
void AskForBgra(png_structp png, png_infop info) {
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    if (depth == 16) {
        png_set_scale_16(png);
    }
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // only where there is no alpha
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

}  // namespace

bool TPngDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    Session session(bytes);
    stated_ = {};
    const auto size = session.Start(&stated_);
    opened_ = size.has_value();
    size_ = size.value_or(IntSize{});
    iccProfile_ = opened_ ? IccProfileOf(session.Png(), session.Info()) : std::vector<std::uint8_t>();
    SetFailure(opened_ ? std::string() : session.Why());
    return opened_;
}

std::optional<TPicture> TPngDecoder::Frames() {
    if (!opened_) {
        return std::nullopt;
    }
    return Guarded([this] { return Decode(); });
}

std::optional<TPicture> TPngDecoder::Decode() {
    Session session(bytes_);
    if (session.Start() != size_ || !session.Run(AskForBgra)) {
        SetFailure(session.Why());
        return std::nullopt;
    }
    if (png_get_rowbytes(session.Png(), session.Info()) != static_cast<std::size_t>(size_.width) * 4) {
        SetFailure("the rows do not come out as 8-bit BGRA");
        return std::nullopt;
    }
    TBitmap32 out(size_.width, size_.height);
    std::vector<png_bytep> rows(static_cast<std::size_t>(size_.height));
    for (std::int32_t y = 0; y < size_.height; ++y) {
        rows[static_cast<std::size_t>(y)] = reinterpret_cast<png_bytep>(out.Row(y));
    }
    if (!session.Run([&rows](png_structp png, png_infop) { png_read_image(png, rows.data()); })) {
        SetFailure(session.Why());
        return std::nullopt;
    }
    return StillPicture(std::move(out));
}

}  // namespace gfx
