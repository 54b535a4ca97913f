#pragma once

#include <optional>
#include <string>

#include "gfx/decode/PictureDecoder.h"
#include "gfx/decode/PictureFormats.h"

namespace gfx {

// Reads and decodes a picture file chosen by its extension: JPEG, PNG, TIFF, GIF, HEIF (with
// AVIF) and WebP through our decoders, the Windows formats through the platform's picture services. Nothing when the file
// is missing, larger than kMaxPictureFileBytes, of another format or cannot be decoded; then,
// when `why` is given, it says which. With `drawnSize`, it is asked once with the picture's own
// size (before decoding, or after it for the platform's formats), and a large picture may be
// decoded smaller, still covering the size it gives (see DecodePicture). A picture shown without
// its colour profile, because the profile cannot be used, says why in the trace.
std::optional<TPicture> LoadPictureFile(const std::string& path, std::string* why = nullptr,
                                        const TDrawnSize& drawnSize = {});

}  // namespace gfx
