#pragma once

#include <string>

#include <tiffio.h>

#include "gfx/decode/Orientation.h"
#include "gfx/decode/TiffLayout.h"

namespace gfx::tiff {

// Empty when ReadSamples can read a page of this layout; else why not, in a few words.
std::string SamplesRefusal(const TLayout& layout);

// Our own reader of the current page for the layouts NeedsOwnReader names: strips or tiles, one
// plane or one a sample, decoded by libtiff and converted here sample by sample. Unsigned
// integers span 0 to their largest value, signed ones their whole range (the smallest is black),
// floating point 0 to 1; SMinSampleValue and SMaxSampleValue, when given, set the range of signed
// and floating-point samples instead. CMYK is ink, CIELab relative to D50. Alpha is kept, and
// associated alpha divided out of the colours. False, with why, when a block cannot be decoded.
bool ReadSamples(TIFF* tiff, const TLayout& layout, TOrientedRows& out, std::string& why);

}  // namespace gfx::tiff
