#include "gfx/decode/HeifSamples.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <libheif/heif.h>

namespace gfx {

namespace {

struct NclxFree {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};
using Nclx = std::unique_ptr<heif_color_profile_nclx, NclxFree>;

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

// One row of interleaved samples (8-bit bytes, or 16-bit little-endian words holding `bits` bits)
// into 32-bit pixels.
template <typename Sample>
void ConvertRow(const Sample* in, Color32* out, std::int32_t width, const THeifConversion& c) {
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

}  // namespace

std::string HeifMessage(const heif_error& error) {
    return error.message != nullptr && *error.message != '\0' ? error.message : "libheif error";
}

// The interleaved plane (8-bit samples, or 16-bit little-endian words when deep) into the bitmap.
void ConvertHeifPlane(const std::uint8_t* plane, int stride, const THeifConversion& conversion, bool deep,
                      TBitmap32& bitmap) {
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
std::optional<TToneMap> HeifToneMap(const heif_image_handle* handle, const heif_image* image, int bits) {
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


}  // namespace gfx
