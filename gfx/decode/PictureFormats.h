#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "gfx/decode/PictureDecoder.h"

namespace gfx {

enum class TPictureFormat {
    Unknown,
    Jpeg,    // "jpg", "jpeg", "jpe", "jfif"
    Png,     // "png"
    Tiff,    // "tif", "tiff", "fax"
    Gif,     // "gif"
    Heif,    // "heic", "heif", "hif", "avif"
    Webp,    // "webp"
    System,  // "bmp", "rle", "dib", "ico", "wmf", "emf": the platform's own picture services
};

// The format a file name or extension stands for, by its extension in any letter case
// ("photo.JPG", ".jpg" and "jpg" alike).
TPictureFormat PictureFormatOf(std::string_view name);

// A decoder of our own for the format; none for System and Unknown.
std::unique_ptr<TPictureDecoder> MakeDecoder(TPictureFormat format);

// The size of the rectangle a picture will be drawn in, given the picture's own upright size.
using TDrawnSize = std::function<IntSize(IntSize own)>;

// Opens and decodes bytes of the format; nothing when it has no decoder of ours or they fail,
// and then, when `why` is given, it says why. With `drawnSize`, it is asked once, after the
// header is read, and the decoder may give a smaller picture that still covers that size.
// The colours of a profile embedded in the picture are converted to sRGB; when the profile cannot
// be used, the picture comes as it is stored and `why` says why (else it is emptied).
std::optional<TPicture> DecodePicture(TPictureFormat format, std::span<const std::uint8_t> bytes,
                                      std::string* why = nullptr, const TDrawnSize& drawnSize = {});

}  // namespace gfx
