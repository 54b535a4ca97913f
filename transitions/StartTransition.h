#pragma once

#include <cstdint>

#include "gfx/Bitmap32.h"
#include "platform/Surface.h"

namespace trans {

// Main thread only. Changes the target canvas from what it shows to image through effect 1..120,
// on the transition worker, frameCount frames at least frameDelay ms apart; effect 0 copies the
// image at once, and any number outside 0..120 draws a random effect. The caller may free its image
// at once, and attaches its completion handler to ActiveTransition (when not empty) right after.
// With wait set, it returns only when the transition has ended.
void StartTransition(plat::Surface& target, const gfx::TBitmap32& image, std::int32_t effect, std::int32_t frameDelay,
                     std::int32_t frameCount, bool wait);

}  // namespace trans
