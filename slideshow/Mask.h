#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/decode/PictureDecoder.h"
#include "package/PackageFormat.h"
#include "package/Pieces.h"

namespace show {

// A mask as the item layout uses it (its blue channel becomes the image's opacity): opaque, at the
// picture's size. A bitmap-kind mask is taken as it is; a PNG or GIF mask is drawn by its alpha
// over black first, so that its transparent parts hide the image.
gfx::TBitmap32 MakeMask(const gfx::TPicture& picture, std::uint8_t kind);

// Takes mask `index` out of the package file into "SSMASK.bmp", ".png" or ".gif" by its kind,
// decodes it and deletes the file. Nothing when there is no such mask or any step fails.
std::optional<gfx::TBitmap32> LoadMask(const pkg::Package& package, const std::string& packageFile,
                                       std::int32_t index);
// The same for a mask piece of that kind, taken out to the piece's own file name.
std::optional<gfx::TBitmap32> LoadMaskPiece(const std::string& packageFile, const pkg::Piece& piece,
                                            std::uint8_t kind);

}  // namespace show
