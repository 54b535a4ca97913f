#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 115 and 116, "Crossfade" and "Fade To Black": the whole picture blended, in steps of
// d = 765 div N while below 255. Variant = effect number - 114; null for another variant, or when
// the first step already reaches 255 (N < 4).
std::unique_ptr<TFamily> MakeFades(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
