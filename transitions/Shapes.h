#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 77-95, "Diagonal Unfold From Up Left" to "Diagonal Unfold From Corners 2": the new image
// shows through regions of triangles that grow or turn. Variant = effect number - 76; null for
// another variant.
std::unique_ptr<TFamily> MakeShapes(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
