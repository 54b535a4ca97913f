#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace gfx {

// How much of each pixel a glyph covers: 0 nothing, 255 all; rows `stride` bytes apart.
struct TCoverage {
    const std::uint8_t* values = nullptr;
    IntSize size;
    std::ptrdiff_t stride = 0;
};

// Paints text's colour through a coverage mask whose top-left lies at `at`: blended by the
// coverage when anti-aliased, else fully where the coverage reaches half. The colour's own alpha
// is not used (text is opaque). Pixels the mask does not cover, or outside the target, keep
// their value.
void BlendCoverage(TBitmap32& target, IntPoint at, const TCoverage& mask, Color32 color, bool antialiased);

}  // namespace gfx
