#pragma once

#include <optional>
#include <string>

#include "gfx/Bitmap32.h"

namespace plat {

// The platform's own picture services: Windows bitmaps ("bmp", "rle", "dib"), icons ("ico") and
// metafiles ("wmf", "emf"). Nothing when the file cannot be decoded or rendered.
std::optional<gfx::TBitmap32> LoadSystemPicture(const std::string& path);

}  // namespace plat
