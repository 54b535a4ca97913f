#pragma once

// ICC profiles made with Little CMS from the published primaries and curves, for pictures to
// carry, and Little CMS's own conversion to sRGB as what a profiled picture should show.

#include <cstdint>
#include <vector>

#include "gfx/Bitmap32.h"

namespace testing_support {

// Display P3 (the wide gamut of phones): P3 primaries, D65 white, sRGB's curve.
const std::vector<std::uint8_t>& DisplayP3Profile();
// Adobe RGB (1998): its primaries, D65 white, a gamma of 563/256.
const std::vector<std::uint8_t>& AdobeRgbProfile();
// sRGB made from its primaries and curve rather than taken from the library.
const std::vector<std::uint8_t>& SrgbProfile();
// The library's own built-in sRGB profile.
const std::vector<std::uint8_t>& LibrarySrgbProfile();
// A grey profile of gamma 2.2, which an RGB picture cannot use.
const std::vector<std::uint8_t>& GreyProfile();

// Little CMS's own 8-bit perceptual transform of each pixel from the profile to sRGB, alpha kept.
gfx::TBitmap32 LittleCmsToSrgb(const std::vector<std::uint8_t>& icc, gfx::TBitmap32 bitmap);

}  // namespace testing_support
