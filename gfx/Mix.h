#pragma once

// Whole pictures blended with one constant alpha, as the fades draw them: a picture drawn over
// another, or over one colour, written to a third in one pass. The upper picture counts as opaque,
// and every channel, alpha included, moves from the lower one toward it by alpha / 255, rounded to
// nearest: 0 gives the lower picture, 255 the upper one. That is what drawing the upper picture with
// its alpha reset and a master alpha of `alpha` onto a copy of the lower one gives (BlendOver).

#include <cstdint>

#include "gfx/Color.h"
#include "gfx/PixelView.h"

namespace gfx {

// Covers the part that target, under and over have in common from their top-left corners.
void MixPixels(const PixelView& target, const ConstPixelView& under, const ConstPixelView& over, std::uint32_t alpha);
void MixPixels(const PixelView& target, Color32 under, const ConstPixelView& over, std::uint32_t alpha);

// n pixels of over drawn by their own alpha onto the same pixels of under, which is opaque, written to
// target: every colour channel moves from under toward over by over's alpha / 255, rounded to
// nearest, and the result is opaque. That is BlendOver with a master alpha of 255 onto an opaque
// picture.
void MixRowByAlpha(Color32* target, const Color32* under, const Color32* over, std::int32_t n);

}  // namespace gfx
