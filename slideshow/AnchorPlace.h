#pragma once

#include <cstdint>

#include "gfx/Geometry.h"

namespace show {

// Where an object of the given size goes on a frame by a corner or centre code and its offsets,
// shared by the logo and the captions: 0 top left, 1 top right, 2 top centre, 3 bottom left,
// 4 bottom right, 5 bottom centre, 6 and above centred. Codes compare as unsigned numbers, so
// negative codes count as large and centre. Offsets move away from the anchoring edges.
gfx::IntPoint AnchorPlace(std::int32_t code, gfx::IntSize object, gfx::IntSize frame, std::int32_t dx,
                          std::int32_t dy);

}  // namespace show
