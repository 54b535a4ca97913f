#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 103-114, "Zoom In" to "Quattro Zoom In": the new image, or halves or quarters of it, drawn
// scaled into rectangles that grow from a point, an edge or a corner into their place. Variant =
// effect number - 102; null for another variant.
std::unique_ptr<TFamily> MakeZooms(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
