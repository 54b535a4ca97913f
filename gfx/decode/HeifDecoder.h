#pragma once

#include <memory>
#include <optional>

#include "gfx/decode/HeifGrid.h"
#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureDecoder.h"

struct heif_context;
struct heif_image_handle;

namespace gfx {

// HEIC, HEIF and AVIF through libheif: the file's primary image (its thumbnails and other images
// are left alone), tiled or not, with the file's rotation, mirroring and crop applied, so that
// Size is the upright, cropped size; alpha kept (colours stored premultiplied are divided out).
// Pictures of more than 8 bits are rounded to 8. An embedded ICC profile is handed on; without
// one, nclx colour information in other primaries or with an HDR curve (PQ, HLG) is converted to
// sRGB here (see TToneMap).
// A picture beyond the pixel cap is refused, unless it is a grid of tiles (as phones write their
// largest photographs): that one is decoded tile by tile (see THeifGrid) into a picture reduced to
// fit the cap, which is its Size, and further to the size of its place when ReduceFor says it.
class THeifDecoder final : public TPictureDecoder {
public:
    // `maxPixels` is the pixel cap; tests lower it to see large pictures through small files.
    explicit THeifDecoder(std::int64_t maxPixels = kMaxPicturePixels);
    ~THeifDecoder() override;

    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    // Only a picture decoded tile by tile is reduced: any other comes whole from libheif.
    void ReduceFor(IntSize drawn) override;
    std::optional<TPicture> Frames() override;

private:
    struct ContextFree {
        void operator()(heif_context* context) const;
    };
    struct HandleFree {
        void operator()(heif_image_handle* handle) const;
    };

    std::optional<TPicture> Decode();
    std::optional<TPicture> DecodeTiles();
    bool OpenGrid(std::span<const std::uint8_t> bytes, IntSize stated);
    bool CanvasesWithinCap(std::span<const std::uint8_t> bytes);
    void ReadColorProfile();

    std::int64_t maxPixels_;
    std::unique_ptr<heif_context, ContextFree> context_;
    std::unique_ptr<heif_image_handle, HandleFree> handle_;
    IntSize size_;
    std::optional<THeifGrid> grid_;  // set for a grid beyond the cap
    IntSize reduced_;                // what the grid is decoded to
};

}  // namespace gfx
