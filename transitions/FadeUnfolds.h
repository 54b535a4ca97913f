#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 117-120, "Fade Unfold From Left" to "Fade Unfold From Bottom": a fold reveals the new image
// behind a band in which it fades in. Variant = effect number - 116; null for another variant.
std::unique_ptr<TFamily> MakeFadeUnfolds(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
