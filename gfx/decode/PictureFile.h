#pragma once

#include <optional>
#include <string>

#include "gfx/decode/PictureDecoder.h"

namespace gfx {

// Reads and decodes a picture file chosen by its extension: JPEG, PNG, TIFF and GIF through our
// decoders, the Windows formats through the platform's picture services. Nothing when the file
// is missing, larger than kMaxPictureFileBytes, of another format or cannot be decoded; then,
// when `why` is given, it says which.
std::optional<TPicture> LoadPictureFile(const std::string& path, std::string* why = nullptr);

}  // namespace gfx
