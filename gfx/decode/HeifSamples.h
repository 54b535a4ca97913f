#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/decode/ToneMap.h"

struct heif_error;
struct heif_image;
struct heif_image_handle;

namespace gfx {

// How the samples libheif decodes become 8-bit sRGB: scaled only, or through a tone map.
struct THeifConversion {
    int bits = 8;
    bool alpha = false;
    bool premultiplied = false;  // colours come multiplied by alpha (libheif leaves them so)
    std::optional<TToneMap> toneMap;
};

// libheif's message, or a word of ours when it gives none.
std::string HeifMessage(const heif_error& error);

// An interleaved plane (8-bit samples, or 16-bit little-endian words when deep) into the bitmap,
// which has the plane's size.
void ConvertHeifPlane(const std::uint8_t* plane, int stride, const THeifConversion& conversion, bool deep,
                      TBitmap32& bitmap);

// The conversion to sRGB that nclx colour information in other primaries or with an HDR curve
// asks for (the handle's, else the one the decoded image carries); none for sRGB or no colour
// information at all.
std::optional<TToneMap> HeifToneMap(const heif_image_handle* handle, const heif_image* image, int bits);

}  // namespace gfx
