#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 71-76, "Ellipse Out" to "Ellipse From Bottom": an ellipse of the new image grows from the
// centre or from an edge, or one of the old picture shrinks. Variant = effect number - 70; null for
// another variant.
std::unique_ptr<TFamily> MakeEllipses(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
