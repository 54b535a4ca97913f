#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 65-68, "Line Drop From Right" to "Line Drop From Up": a fold reveals the new image while the
// line of it just ahead of the fold is stretched over the part not yet revealed. Variant = effect
// number - 64; null for another variant, or when the fold has no step to draw (N = 1).
std::unique_ptr<TFamily> MakeLineDrops(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
