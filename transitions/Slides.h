#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effects 1-22, "Slide From Up Left" to "Blinds Slide Left": pieces of the new image (for "Door
// Open", of the old picture) slide into place. Variant = effect number; null for another variant.
std::unique_ptr<TFamily> MakeSlides(std::int32_t variant, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
