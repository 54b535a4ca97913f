#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 96-100, "Random Horizontal Lines" to "Random Large Ellipses": the new image shows band by
// band or cell by cell in an order the run-time generator deals on the first frame. Variant = effect
// number - 95; null for another variant.
std::unique_ptr<TFamily> MakeRandomShapes(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
