#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "gfx/Geometry.h"

namespace show {

// The frame size of a Flash movie in pixels, from its header: the 17 bytes after the first 8 hold
// the frame rectangle, 5 bits giving the bits N of each coordinate, then Xmin, Xmax, Ymin and Ymax
// of N bits each, unsigned, in twips; the size is Xmax div 20 by Ymax div 20. A compressed movie
// (signature "CWS": a zlib stream after the first 8 bytes) is read from its inflated body; any
// other is read as it is. Nothing when the bytes (or the inflated body) end before the rectangle.
std::optional<gfx::IntSize> MovieFrameSize(std::span<const std::uint8_t> movie);

// The same for a movie file; nothing when it cannot be read.
std::optional<gfx::IntSize> MovieFrameSizeOfFile(const std::string& path);

}  // namespace show
