#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <tiffio.h>

#include "gfx/Geometry.h"
#include "gfx/decode/Orientation.h"

namespace gfx::tiff {

// What the tags of the current page say about its pixels, with the defaults the format gives.
struct TLayout {
    IntSize size;  // as stored
    TOrientation orientation = TOrientation::TopLeft;
    std::uint16_t samples = 1;  // per pixel, extra samples included
    std::uint16_t bits = 1;     // per sample
    std::uint16_t format = SAMPLEFORMAT_UINT;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t inkSet = INKSET_CMYK;
    std::uint16_t colorChannels = 1;
    std::int32_t alpha = -1;     // the sample that is alpha, if any
    bool premultiplied = false;  // that alpha is associated: the colours are multiplied by it
    // SMinSampleValue and SMaxSampleValue, when the file gives both and they make a range.
    std::optional<std::pair<double, double>> range;
    bool tiled = false;
};

// The current page's layout; nothing (with why) when the tags contradict themselves.
std::optional<TLayout> ReadLayout(TIFF* tiff, std::string& why);

// Whether the page is one that libtiff's RGBA interface refuses or shows in the wrong colours, and
// that our own reader of samples is for: grey, RGB, CMYK and CIELab with samples of any depth up
// to 32 bits, signed, or floating point, with alpha, and CMYK of other than 8 bits.
bool NeedsOwnReader(const TLayout& layout);

}  // namespace gfx::tiff
