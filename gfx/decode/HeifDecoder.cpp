#include "gfx/decode/HeifDecoder.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <libheif/heif.h>

#include "gfx/decode/HeifGrid.h"
#include "gfx/decode/HeifItems.h"
#include "gfx/decode/HeifSamples.h"
#include "gfx/decode/Limits.h"

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

}  // namespace

void THeifDecoder::ContextFree::operator()(heif_context* context) const { heif_context_free(context); }
void THeifDecoder::HandleFree::operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }

THeifDecoder::THeifDecoder(std::int64_t maxPixels) : maxPixels_(maxPixels) {}
THeifDecoder::~THeifDecoder() = default;

bool THeifDecoder::Open(std::span<const std::uint8_t> bytes) {
    handle_.reset();
    context_.reset(heif_context_alloc());
    size_ = {};
    stated_ = {};
    grid_.reset();
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
        SetFailure(HeifMessage(error));
        context_.reset();
        return false;
    }
    handle_.reset(handle);
    // The handle's size is the displayed one: after the crop and rotation the file asks for.
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    stated_ = {width, height};
    const bool withinCap = width > 0 && height > 0 && std::int64_t{width} * height <= maxPixels_;
    if (!(withinCap ? CanvasesWithinCap(bytes) : OpenGrid(bytes, stated_))) {
        handle_.reset();
        context_.reset();
        return false;
    }
    if (withinCap) {
        size_ = {width, height};
    }
    ReadColorProfile();
    ClearFailure();
    return true;
}

// A picture beyond the cap may still be shown smaller when it is a grid: the largest size of its
// proportions within the cap.
bool THeifDecoder::OpenGrid(std::span<const std::uint8_t> bytes, IntSize stated) {
    heif_item_id primary = 0;
    std::string why;
    if (stated.width > 0 && stated.height > 0 &&
        heif_context_get_primary_image_ID(context_.get(), &primary).code == heif_error_Ok) {
        grid_ = THeifGrid::Read(bytes, primary, stated, heif_image_handle_has_alpha_channel(handle_.get()) != 0,
                                maxPixels_, why);
    }
    if (!grid_) {
        // A picture not in tiles is refused for its size alone.
        SetFailure(why.empty() || why == THeifGrid::kNotTiled ? BeyondCap(stated.width, stated.height)
                                                              : BeyondCap(stated.width, stated.height) +
                                                                    ", and it cannot be decoded tile by tile: " + why);
        return false;
    }
    const double scale =
        std::sqrt(static_cast<double>(maxPixels_) / (static_cast<double>(stated.width) * stated.height));
    IntSize fits{std::max(1, static_cast<std::int32_t>(stated.width * scale)),
                 std::max(1, static_cast<std::int32_t>(stated.height * scale))};
    while (std::int64_t{fits.width} * fits.height > maxPixels_) {
        (fits.width >= fits.height ? fits.width : fits.height) -= 1;
    }
    size_ = fits;
    reduced_ = fits;
    return true;
}

// A grid or overlay whose own description asks for a larger canvas than its header states would
// have libheif allocate that canvas, or one for each tile made of such an image.
bool THeifDecoder::CanvasesWithinCap(std::span<const std::uint8_t> bytes) {
    heif_item_id primary = 0;
    const auto items = THeifItems::Read(bytes);
    if (!items || heif_context_get_primary_image_ID(context_.get(), &primary).code != heif_error_Ok ||
        items->CanvasesWithin(primary, maxPixels_)) {
        return true;  // what the boxes here cannot read, libheif reads and refuses itself
    }
    SetFailure("a part of the picture is beyond the pixel cap");
    return false;
}

void THeifDecoder::ReduceFor(IntSize drawn) {
    if (!grid_ || drawn.width <= 0 || drawn.height <= 0) {
        return;
    }
    // The larger of the two ratios, so that both sides still cover the place.
    const double scale = std::max(static_cast<double>(drawn.width) / size_.width,
                                  static_cast<double>(drawn.height) / size_.height);
    const IntSize cover{std::max(drawn.width, static_cast<std::int32_t>(std::ceil(size_.width * scale))),
                        std::max(drawn.height, static_cast<std::int32_t>(std::ceil(size_.height * scale)))};
    if (cover.width <= size_.width && cover.height <= size_.height) {
        reduced_ = cover;
    }
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
    return Guarded([this] { return grid_ ? DecodeTiles() : Decode(); });
}

std::optional<TPicture> THeifDecoder::DecodeTiles() {
    std::string why;
    auto bitmap = grid_->Decode(reduced_, handle_.get(), !iccProfile_.empty(), kMaxSide, why);
    if (!bitmap) {
        SetFailure(BeyondCap(stated_.width, stated_.height) + ", and it cannot be decoded tile by tile: " + why);
        return std::nullopt;
    }
    return StillPicture(std::move(*bitmap));
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
        SetFailure(HeifMessage(error));
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
    THeifConversion conversion;
    conversion.alpha = alpha;
    conversion.premultiplied = alpha && heif_image_is_premultiplied_alpha(image.get()) != 0;
    conversion.bits = deep ? heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) : 8;
    if (conversion.bits < 1 || conversion.bits > 16) {
        SetFailure("libheif gave samples of " + std::to_string(conversion.bits) + " bits");
        return std::nullopt;
    }
    // An ICC profile is converted by the caller; nclx colour information here.
    if (iccProfile_.empty()) {
        conversion.toneMap = HeifToneMap(handle, image.get(), conversion.bits);
    }
    TBitmap32 bitmap(width, height);
    ConvertHeifPlane(plane, stride, conversion, deep, bitmap);
    return StillPicture(std::move(bitmap));
}

}  // namespace gfx
