#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 101 and 102, "Sweep From Inside Out" and "Sweep From Outside In": one tile of the new image
// per frame along a rectangular spiral. Variant = effect number - 100; null for another variant.
std::unique_ptr<TFamily> MakeSweeps(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
