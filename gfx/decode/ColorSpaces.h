#pragma once

#include <cstdint>

#include "gfx/Color.h"

namespace gfx {

// Ink amounts to an opaque colour, each ink 0 (none) to 255 (full): every ink takes its share of
// the light, black of all three (the plain conversion of the image libraries).
Color32 CmykColor(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k);

// Red, green and blue from 0 to 1 (clamped; not a number counts as 0) to an opaque colour.
Color32 UnitRgbColor(double r, double g, double b);

// A CIE L*a*b* colour (L* 0 to 100) relative to the D50 white, as print and picture files store
// it, to an opaque sRGB colour: the white adapted to sRGB's own D65 (Bradford), then sRGB's curve.
Color32 LabColor(double l, double a, double b);

}  // namespace gfx
