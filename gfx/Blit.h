#pragma once

#include <cstdint>

#include "gfx/Geometry.h"
#include "gfx/PixelView.h"

namespace gfx {

// Copies a row of n pixels (the two do not overlap). Long rows take a plain loop rather than memcpy:
// the library's large-copy path slows down about tenfold when the target lies a few bytes after the
// source modulo 4 KiB, which a picture moved by a pixel or two meets in every row.
void CopyRow(Color32* target, const Color32* source, std::int32_t n);

// Copies sourceRect of source to target with its top-left corner at `at`, pixels as they are. Parts
// outside either side are left out.
void CopyPixels(const PixelView& target, IntPoint at, const ConstPixelView& source, const IntRect& sourceRect);

// The canvas copy: sourceRect of source onto targetRect of target, stretched with the nearest pixel
// when the sizes differ, as a screen block transfer does. Empty or inverted rectangles copy nothing;
// target pixels whose source lies outside source stay as they are.
void CopyRectStretched(const PixelView& target, const IntRect& targetRect, const ConstPixelView& source,
                       const IntRect& sourceRect);

// Fills the part of rect inside target.
void FillPixels(const PixelView& target, const IntRect& rect, Color32 color);

}  // namespace gfx
