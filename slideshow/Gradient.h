#pragma once

#include <cstdint>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"

namespace show {

// a * b / c in 64 bits, rounded to nearest with halves away from zero; -1 when c is 0 or the result
// does not fit, as the system's MulDiv answers.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// The colour of step i of n from c1 to c2 (package colours 0x00BBGGRR), opaque: each channel is
// c1 + MulDiv(i, c2 - c1, n), modulo 256. A gradient of no steps (n = 0) is c1: MulDiv's -1 would
// make it c1 minus one in every channel, and turn black into white.
gfx::Color32 GradientStep(gfx::TColor c1, gfx::TColor c2, std::int32_t i, std::int32_t n);

// Paints one of the gradient styles over the whole target with the two package colours:
// 1 horizontal bands, 2 vertical bands, 3 ellipses, 4 rectangles, 5 mirrored rows, 6 mirrored
// columns, 7 pinwheel, 8 diagonal. 0, and any value that names no style, paints as 2.
void PaintGradient(gfx::TBitmap32& target, std::int32_t style, gfx::TColor c1, gfx::TColor c2);

}  // namespace show
