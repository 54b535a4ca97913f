#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 23-64, "Unfold From Left" to "Download From Up": the old picture stays and moving folds
// reveal the new image in place. Variant = effect number - 22; null for another variant.
std::unique_ptr<TFamily> MakeUnfolds(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
