#include "tools/ssmaker/Thumbnail.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <libheif/heif.h>

#include "common/Paths.h"
#include "gfx/Region.h"
#include "gfx/decode/AreaReducer.h"
#include "gfx/decode/ColorProfile.h"
#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureFile.h"
#include "gfx/decode/PictureFormats.h"
#include "package/ItemKind.h"
#include "platform/Files.h"

namespace maker {

namespace {

constexpr gfx::Color32 kGlyphGrey = 0xFF808080;
constexpr gfx::Color32 kFilmColor = 0xFF202020;
constexpr gfx::Color32 kFrameColor = 0xFF9AB4CC;
constexpr gfx::Color32 kHoleColor = 0xFFE8E8E8;
constexpr gfx::Color32 kPlayColor = 0xFFFFFFFF;

// The largest size of `own`'s proportions inside `box`, at least a pixel a side.
gfx::IntSize FitInside(gfx::IntSize own, gfx::IntSize box) {
    const std::int64_t w = own.width;
    const std::int64_t h = own.height;
    if (w <= 0 || h <= 0) {
        return box;
    }
    if (box.width * h <= box.height * w) {
        return {box.width, static_cast<std::int32_t>(std::max<std::int64_t>(1, (h * box.width + w / 2) / w))};
    }
    return {static_cast<std::int32_t>(std::max<std::int64_t>(1, (w * box.height + h / 2) / h)), box.height};
}

// The thumbnail's size: fitted into the square, but never larger than the picture.
gfx::IntSize ThumbnailSize(gfx::IntSize own, int side) {
    if (own.width <= side && own.height <= side) {
        return own;
    }
    return FitInside(own, {side, side});
}

// Each target pixel the average of the area it covers, so that a large reduction does not alias.
gfx::TBitmap32 Reduced(const gfx::TBitmap32& picture, gfx::IntSize size) {
    if (picture.Width() == size.width && picture.Height() == size.height) {
        return picture;
    }
    gfx::TAreaReducer reducer(picture.BoundsRect(), size);
    reducer.Add({0, 0}, picture);
    reducer.RowsDone(picture.Height());
    return reducer.Take();
}

// The picture at `size`: averaged down, or stretched up with bilinear resampling.
gfx::TBitmap32 Resized(const gfx::TBitmap32& picture, gfx::IntSize size) {
    if (size.width <= picture.Width() && size.height <= picture.Height()) {
        return Reduced(picture, size);
    }
    gfx::TBitmap32 resized(size.width, size.height);
    picture.DrawTo(resized, resized.BoundsRect());
    return resized;
}

// ---- Pictures as the screen saver shows them ----

// The first frame on the picture's own canvas, opaque, as the slideshow shows a still: a frame
// that does not cover the canvas leaves black around it.
std::optional<gfx::TBitmap32> FirstFrameOpaque(const gfx::TPicture& picture) {
    if (picture.frames.empty() || picture.size.width <= 0 || picture.size.height <= 0) {
        return std::nullopt;
    }
    const gfx::TPictureFrame& frame = picture.frames.front();
    if (frame.bitmap.Empty()) {
        return std::nullopt;
    }
    if (frame.position == gfx::IntPoint{} && frame.bitmap.Width() == picture.size.width &&
        frame.bitmap.Height() == picture.size.height) {
        gfx::TBitmap32 still = frame.bitmap;
        still.MakeOpaque();
        return still;
    }
    gfx::TBitmap32 still(picture.size.width, picture.size.height, 0);
    still.CopyRect(frame.position, frame.bitmap, frame.bitmap.BoundsRect());
    still.MakeOpaque();
    return still;
}

// Decodes the picture through the runtime's own loader, which may decode a large one smaller
// when it is to be drawn at `drawnFor(own size)`.
std::optional<gfx::TBitmap32> LoadStill(const std::string& path, const gfx::TDrawnSize& drawnFor) {
    const auto picture = gfx::LoadPictureFile(path, nullptr, drawnFor);
    return picture ? FirstFrameOpaque(*picture) : std::nullopt;
}

// ---- A HEIF's own thumbnail ----

struct HeifContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HeifHandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct HeifImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
using HeifHandle = std::unique_ptr<heif_image_handle, HeifHandleFree>;

std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path) {
    try {
        plat::File file = plat::File::OpenRead(path);
        const std::int64_t size = file.Size();
        if (size <= 0 || size > gfx::kMaxPictureFileBytes) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        file.ReadExact(bytes.data(), bytes.size());
        return bytes;
    } catch (const plat::FileError&) {
        return std::nullopt;
    }
}

std::vector<std::uint8_t> HeifProfile(heif_image_handle* handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    std::vector<std::uint8_t> icc;
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        icc.resize(heif_image_handle_get_raw_color_profile_size(handle));
        if (icc.empty() || heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok) {
            icc.clear();
        }
    }
    return icc;
}

// The smallest of the primary image's thumbnails whose longer side reaches `side`; none when it
// has none that large.
HeifHandle ThumbnailCovering(heif_image_handle* primary, int side) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0) {
        return nullptr;
    }
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    HeifHandle best;
    for (const heif_item_id id : ids) {
        heif_image_handle* found = nullptr;
        if (heif_image_handle_get_thumbnail(primary, id, &found).code != heif_error_Ok) {
            continue;
        }
        HeifHandle thumbnail(found);
        const auto longer = [](heif_image_handle* h) {
            return std::max(heif_image_handle_get_width(h), heif_image_handle_get_height(h));
        };
        if (longer(thumbnail.get()) >= side &&
            gfx::PictureSizeAllowed(heif_image_handle_get_width(thumbnail.get()),
                                    heif_image_handle_get_height(thumbnail.get())) &&
            (!best || longer(thumbnail.get()) < longer(best.get()))) {
            best = std::move(thumbnail);
        }
    }
    return best;
}

// A HEIF photograph carries a small picture of itself: decoding that one spares decoding twelve
// million pixels for a line of a list. Shown upright and in sRGB as the primary image would be.
std::optional<gfx::TBitmap32> HeifOwnThumbnail(const std::string& path, int side) {
    const auto bytes = ReadSmallFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    const std::unique_ptr<heif_context, HeifContextFree> context(heif_context_alloc());
    heif_image_handle* primaryHandle = nullptr;
    if (!context ||
        heif_context_read_from_memory_without_copy(context.get(), bytes->data(), bytes->size(), nullptr).code !=
            heif_error_Ok ||
        heif_context_get_primary_image_handle(context.get(), &primaryHandle).code != heif_error_Ok) {
        return std::nullopt;
    }
    const HeifHandle primary(primaryHandle);
    const HeifHandle thumbnail = ThumbnailCovering(primary.get(), side);
    if (!thumbnail) {
        return std::nullopt;
    }
    heif_image* decoded = nullptr;
    const heif_error error =
        heif_decode_image(thumbnail.get(), &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr);
    const std::unique_ptr<heif_image, HeifImageFree> image(decoded);
    if (error.code != heif_error_Ok || !image) {
        return std::nullopt;
    }
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (plane == nullptr || !gfx::PictureSizeAllowed(width, height)) {
        return std::nullopt;
    }
    gfx::TBitmap32 bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + static_cast<std::ptrdiff_t>(y) * stride;
        gfx::Color32* out = bitmap.Row(y);
        for (int x = 0; x < width; ++x, in += 4) {
            out[x] = 0xFF000000u | (gfx::Color32{in[0]} << 16) | (gfx::Color32{in[1]} << 8) | in[2];
        }
    }
    // A thumbnail without a profile of its own is in the colours of the picture it stands for.
    std::vector<std::uint8_t> icc = HeifProfile(thumbnail.get());
    if (icc.empty()) {
        icc = HeifProfile(primary.get());
    }
    const gfx::TSrgbConversion toSrgb(icc);
    if (toSrgb.Converts()) {
        toSrgb.Convert(bitmap);
    }
    return bitmap;
}

// ---- Signs for the items that are not pictures ----

// A strip of film down the square: dark, with holes down both edges and two frames between.
gfx::TBitmap32 FilmStrip(int side) {
    gfx::TBitmap32 sign(side, side, kGlyphGrey);
    const int margin = side / 5;
    const gfx::IntRect strip{margin, side / 10, side - margin, side - side / 10};
    sign.FillRect(strip, kFilmColor);
    const int hole = std::max(1, side / 16);
    for (int y = strip.top + hole; y + hole <= strip.bottom - hole; y += 2 * hole) {
        sign.FillRect(gfx::IntRect::FromSize(strip.left + hole / 2, y, hole, hole), kHoleColor);
        sign.FillRect(gfx::IntRect::FromSize(strip.right - hole / 2 - hole, y, hole, hole), kHoleColor);
    }
    const int frameLeft = strip.left + 2 * hole;
    const int frameRight = strip.right - 2 * hole;
    const int middle = (strip.top + strip.bottom) / 2;
    sign.FillRect({frameLeft, strip.top + hole, frameRight, middle - hole / 2}, kFrameColor);
    sign.FillRect({frameLeft, middle + (hole + 1) / 2, frameRight, strip.bottom - hole}, kFrameColor);
    return sign;
}

// A play triangle pointing right, in the middle of the square.
gfx::TBitmap32 PlayTriangle(int side) {
    gfx::TBitmap32 sign(side, side, kGlyphGrey);
    const std::array<gfx::IntPoint, 3> corners = {
        gfx::IntPoint{side * 3 / 8, side / 4}, gfx::IntPoint{side * 3 / 8, side * 3 / 4},
        gfx::IntPoint{side * 3 / 4, side / 2}};
    gfx::FillRegion(sign, gfx::TRegion::Polygon(corners), kPlayColor);
    return sign;
}

std::shared_ptr<const gfx::TBitmap32> Shared(gfx::TBitmap32 bitmap) {
    return std::make_shared<const gfx::TBitmap32>(std::move(bitmap));
}

// The picture for a place of at most `side` pixels on its longer side: a HEIF's own thumbnail when
// that is large enough, else the picture itself, decoded smaller where its decoder can.
std::optional<gfx::TBitmap32> PictureFor(const std::string& path, int side, const gfx::TDrawnSize& drawnFor) {
    if (gfx::PictureFormatOf(path) == gfx::TPictureFormat::Heif) {
        if (auto thumbnail = HeifOwnThumbnail(path, side)) {
            return thumbnail;
        }
    }
    return LoadStill(path, drawnFor);
}

std::shared_ptr<const gfx::TBitmap32> PictureThumbnail(const std::string& path, int side) {
    const auto picture = PictureFor(path, side, [side](gfx::IntSize own) { return ThumbnailSize(own, side); });
    if (!picture) {
        return nullptr;
    }
    return Shared(Reduced(*picture, ThumbnailSize({picture->Width(), picture->Height()}, side)));
}

}  // namespace

std::shared_ptr<const gfx::TBitmap32> MakeThumbnail(const std::string& path, int side) {
    if (side < 1) {
        return nullptr;
    }
    try {
        switch (pkg::ItemKindOf(core::ExtractFileExt(path))) {
            case pkg::ItemKind::Video: return Shared(FilmStrip(side));
            case pkg::ItemKind::Flash: return Shared(PlayTriangle(side));
            case pkg::ItemKind::Still: break;
        }
        return PictureThumbnail(path, side);
    } catch (...) {
        return nullptr;  // out of memory, or anything else a hostile file brings: no thumbnail
    }
}

gfx::TBitmap32 FittedPicture(const std::string& path, gfx::IntSize size) {
    if (size.width < 1 || size.height < 1 || pkg::ItemKindOf(core::ExtractFileExt(path)) != pkg::ItemKind::Still) {
        return {};
    }
    try {
        const auto picture = PictureFor(path, std::max(size.width, size.height),
                                        [size](gfx::IntSize own) { return FitInside(own, size); });
        if (!picture) {
            return {};
        }
        const gfx::IntSize fitted = FitInside({picture->Width(), picture->Height()}, size);
        gfx::TBitmap32 fittedPicture(size.width, size.height);
        fittedPicture.CopyRect({(size.width - fitted.width) / 2, (size.height - fitted.height) / 2},
                               Resized(*picture, fitted), gfx::IntRect::FromSize(0, 0, fitted.width, fitted.height));
        return fittedPicture;
    } catch (...) {
        return {};
    }
}

}  // namespace maker
