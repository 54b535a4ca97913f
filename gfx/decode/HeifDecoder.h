#pragma once

#include <memory>

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
class THeifDecoder final : public TPictureDecoder {
public:
    THeifDecoder();
    ~THeifDecoder() override;

    bool Open(std::span<const std::uint8_t> bytes) override;
    IntSize Size() const override { return size_; }
    std::optional<TPicture> Frames() override;

private:
    struct ContextFree {
        void operator()(heif_context* context) const;
    };
    struct HandleFree {
        void operator()(heif_image_handle* handle) const;
    };

    std::optional<TPicture> Decode();
    void ReadColorProfile();

    std::unique_ptr<heif_context, ContextFree> context_;
    std::unique_ptr<heif_image_handle, HandleFree> handle_;
    IntSize size_;
};

}  // namespace gfx
