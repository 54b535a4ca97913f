#pragma once

#include <cstdint>

#include "gfx/Bitmap32.h"

namespace show {

// The item filter bits.
enum ItemFilter : std::int32_t { kFilterMirror = 1, kFilterFlip = 2, kFilterGrey = 4 };

// Applies the item's filters in place, in the order mirror, flip, grey.
void ApplyFilters(gfx::TBitmap32& image, std::int32_t filters);

// Grey: red, green and blue become Round(0.3 blue + 0.6 green + 0.1 red); alpha stays.
void MakeGrey(gfx::TBitmap32& image);

}  // namespace show
