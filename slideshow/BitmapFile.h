#pragma once

#include <string>

#include "gfx/Bitmap32.h"

namespace show {

// Saves a picture as a Windows bitmap file: 24 bits a pixel, rows bottom-up, as every version of
// the system reads it. The picture is taken as opaque. Throws plat::FileError; a file that could
// not be written whole is removed.
void WriteBitmapFile(const std::string& path, const gfx::TBitmap32& picture);

}  // namespace show
