#pragma once

// Package colours as pixels. A package may name a system colour (a display element of the
// system's colour table) instead of a value; it is whatever the system paints that element in.

#include "gfx/Color.h"
#include "platform/System.h"

namespace plat {

// The colour as 0x00BBGGRR: itself, or the system's colour for the element it names.
inline gfx::TColor ResolveColor(gfx::TColor c) {
    return gfx::IsSystemColor(c) ? SystemColor(gfx::SystemColorIndex(c)) : c;
}

// The colour as an opaque pixel.
inline gfx::Color32 PixelColor(gfx::TColor c) { return gfx::Color32FromTColor(ResolveColor(c)); }

}  // namespace plat
