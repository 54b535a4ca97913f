#include "gfx/decode/HeifDecoder.h"

#include <algorithm>
#include <string>
#include <vector>

#include <libheif/heif.h>

#include "gfx/decode/Limits.h"
#include "gfx/decode/ToneMap.h"

namespace gfx {

namespace {

// libheif refuses an image with a side longer than this before it allocates anything for it; the
// pixel cap is ours to check, from the stated size, before decoding.
constexpr int kMaxSide = 32768;

struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
using Image = std::unique_ptr<heif_image, ImageFree>;

struct OptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

struct NclxFree {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};
using Nclx = std::unique_ptr<heif_color_profile_nclx, NclxFree>;

std::string MessageOf(const heif_error& error) {
    return error.message != nullptr && *error.message != '\0' ? error.message : "libheif error";
}

// The nclx colour information of the file's colr box, or else the one the coded stream carries.
Nclx NclxOf(const heif_image_handle* handle, const heif_image* image) {
    heif_color_profile_nclx* nclx = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok && nclx != nullptr) {
        return Nclx(nclx);
    }
    nclx = nullptr;
    if (heif_image_get_nclx_color_profile(image, &nclx).code == heif_error_Ok && nclx != nullptr) {
        return Nclx(nclx);
    }
    return nullptr;
}

TPrimaries PrimariesOf(const heif_color_profile_nclx& nclx) {
    if (nclx.color_primaries == heif_color_primaries_unspecified) {
        return kSrgbPrimaries;
    }
    return {nclx.color_primary_red_x,   nclx.color_primary_red_y,   nclx.color_primary_green_x,
            nclx.color_primary_green_y, nclx.color_primary_blue_x,  nclx.color_primary_blue_y,
            nclx.color_primary_white_x, nclx.color_primary_white_y};
}

// How the decoded samples become 8-bit sRGB: scaled only, or through a tone map.
struct Conversion {
    int bits = 8;
    bool alpha = false;
    bool premultiplied = false;  // colours come multiplied by alpha (libheif leaves them so)
    std::optional<TToneMap> toneMap;
};

// One row of interleaved samples (8-bit bytes, or 16-bit little-endian words holding `bits` bits)
// into 32-bit pixels.
template <typename Sample>
void ConvertRow(const Sample* in, Color32* out, std::int32_t width, const Conversion& c) {
    const int channels = c.alpha ? 4 : 3;
    const std::uint32_t top = (1u << c.bits) - 1u;
    for (std::int32_t x = 0; x < width; ++x, in += channels) {
        std::uint8_t alpha = 255;
        std::uint32_t rgb[3] = {in[0], in[1], in[2]};
        if (c.alpha) {
            alpha = sizeof(Sample) == 1 ? static_cast<std::uint8_t>(in[3]) : ScaledTo8Bits(in[3], c.bits);
            const std::uint32_t a = in[3];
            if (c.premultiplied && a > 0 && a < top) {
                for (std::uint32_t& v : rgb) {
                    v = std::min(top, (v * top + a / 2) / a);
                }
            }
        }
        if (c.toneMap) {
            out[x] = c.toneMap->Map(rgb[0], rgb[1], rgb[2], alpha);
        } else if constexpr (sizeof(Sample) == 1) {
            out[x] = MakeColor32(static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                                 static_cast<std::uint8_t>(rgb[2]), alpha);
        } else {
            out[x] = MakeColor32(ScaledTo8Bits(rgb[0], c.bits), ScaledTo8Bits(rgb[1], c.bits),
                                 ScaledTo8Bits(rgb[2], c.bits), alpha);
        }
    }
}

std::uint16_t LittleEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// The interleaved plane (8-bit samples, or 16-bit little-endian words when deep) into the bitmap.
void ConvertPlane(const std::uint8_t* plane, int stride, const Conversion& conversion, bool deep, TBitmap32& bitmap) {
    const std::int32_t width = bitmap.Width();
    std::vector<std::uint16_t> words;
    if (deep) {
        words.resize(static_cast<std::size_t>(width) * (conversion.alpha ? 4 : 3));
    }
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = plane + static_cast<std::ptrdiff_t>(y) * stride;
        if (deep) {
            for (std::size_t i = 0; i < words.size(); ++i) {
                words[i] = LittleEndian16(row + 2 * i);
            }
            ConvertRow(words.data(), bitmap.Row(y), width, conversion);
        } else {
            ConvertRow(row, bitmap.Row(y), width, conversion);
        }
    }
}

// The conversion to sRGB that nclx colour information in other primaries or with an HDR curve
// asks for; none for sRGB (or no colour information at all). The peak of an HDR picture is its
// content light level where it states one.
std::optional<TToneMap> ToneMapFor(const heif_image_handle* handle, const heif_image* image, int bits) {
    const Nclx nclx = NclxOf(handle, image);
    if (!nclx) {
        return std::nullopt;
    }
    const TPrimaries primaries = PrimariesOf(*nclx);
    const TTransfer transfer = TransferOfNclx(nclx->transfer_characteristics);
    if (TToneMap::IsSrgb(primaries, transfer)) {
        return std::nullopt;
    }
    float peak = TToneMap::kDefaultPeakNits;
    if (heif_image_has_content_light_level(image) != 0) {
        heif_content_light_level level{};
        heif_image_get_content_light_level(image, &level);
        if (level.max_content_light_level > 0) {
            peak = level.max_content_light_level;
        }
    }
    return TToneMap(primaries, transfer, bits, peak);
}

}  // namespace

void THeifDecoder::ContextFree::operator()(heif_context* context) const { heif_context_free(context); }
void THeifDecoder::HandleFree::operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }

THeifDecoder::THeifDecoder() = default;
THeifDecoder::~THeifDecoder() = default;

bool THeifDecoder::Open(std::span<const std::uint8_t> bytes) {
    handle_.reset();
    context_.reset(heif_context_alloc());
    size_ = {};
    stated_ = {};
    iccProfile_.clear();
    if (!context_) {
        SetFailure("out of memory");
        return false;
    }
    heif_context_set_maximum_image_size_limit(context_.get(), kMaxSide);
    // The bytes stay alive until the last Frames call: libheif reads them where they are.
    heif_error error = heif_context_read_from_memory_without_copy(context_.get(), bytes.data(), bytes.size(), nullptr);
    heif_image_handle* handle = nullptr;
    if (error.code == heif_error_Ok) {
        error = heif_context_get_primary_image_handle(context_.get(), &handle);
    }
    if (error.code != heif_error_Ok) {
        SetFailure(MessageOf(error));
        context_.reset();
        return false;
    }
    handle_.reset(handle);
    // The handle's size is the displayed one: after the crop and rotation the file asks for.
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    stated_ = {width, height};
    if (!PictureSizeAllowed(width, height)) {
        SetFailure(BeyondCap(width, height));
        handle_.reset();
        context_.reset();
        return false;
    }
    size_ = {width, height};
    ReadColorProfile();
    ClearFailure();
    return true;
}

void THeifDecoder::ReadColorProfile() {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle_.get());
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) {
        return;
    }
    const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle_.get());
    if (size == 0) {
        return;
    }
    iccProfile_.resize(size);
    if (heif_image_handle_get_raw_color_profile(handle_.get(), iccProfile_.data()).code != heif_error_Ok) {
        iccProfile_.clear();
    }
}

std::optional<TPicture> THeifDecoder::Frames() {
    if (!handle_) {
        return std::nullopt;
    }
    return Guarded([this] { return Decode(); });
}

std::optional<TPicture> THeifDecoder::Decode() {
    heif_image_handle* handle = handle_.get();
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    const bool deep = heif_image_handle_get_luma_bits_per_pixel(handle) > 8;
    // Deep pictures come as 16-bit words, rounded (and tone-mapped) here rather than cut by libheif.
    const heif_chroma chroma = deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                    : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    const std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (!options) {
        SetFailure("out of memory");
        return std::nullopt;
    }
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 0;
    heif_image* decoded = nullptr;
    const heif_error error = heif_decode_image(handle, &decoded, heif_colorspace_RGB, chroma, options.get());
    const Image image(decoded);
    if (error.code != heif_error_Ok || !image) {
        SetFailure(MessageOf(error));
        return std::nullopt;
    }
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    // A file whose coded picture is not the size its header states would draw outside the bitmap
    // the slideshow laid out for it.
    if (plane == nullptr || width != size_.width || height != size_.height) {
        SetFailure("the picture's data is not the size its header states");
        return std::nullopt;
    }
    Conversion conversion;
    conversion.alpha = alpha;
    conversion.premultiplied = alpha && heif_image_is_premultiplied_alpha(image.get()) != 0;
    conversion.bits = deep ? heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) : 8;
    if (conversion.bits < 1 || conversion.bits > 16) {
        SetFailure("libheif gave samples of " + std::to_string(conversion.bits) + " bits");
        return std::nullopt;
    }
    // An ICC profile is converted by the caller; nclx colour information here.
    if (iccProfile_.empty()) {
        conversion.toneMap = ToneMapFor(handle, image.get(), conversion.bits);
    }
    TBitmap32 bitmap(width, height);
    ConvertPlane(plane, stride, conversion, deep, bitmap);
    return StillPicture(std::move(bitmap));
}

}  // namespace gfx
