#pragma once

#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/decode/PictureDecoder.h"
#include "package/PackageFormat.h"

namespace show {

// The logo drawn over every frame: the picture at its own size, every pixel opaque, then every
// pixel of the transparent colour (0x00BBGGRR) made fully transparent, unless that colour is
// kColorNone. Set to blend, so that drawing it leaves out those pixels.
gfx::TBitmap32 MakeLogo(const gfx::TPicture& picture, gfx::TColor transparentColor);

// Takes the logo out of the package file ("SSLG" + LogoExt, kept for the next run to overwrite)
// when the package has one and builds it. Any failure leaves the program without a logo.
std::optional<gfx::TBitmap32> LoadLogo(const pkg::PackageHeader& header, const std::string& packageFile);

}  // namespace show
