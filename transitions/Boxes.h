#pragma once

#include <cstdint>
#include <memory>

#include "transitions/Family.h"

namespace trans {

// Effect 69, "Box Out": a centred box of the new image grows until it passes the picture's edges.
// Null when the picture is less than two pixels wide (the loop ends before its first frame).
std::unique_ptr<TFamily> MakeBoxOut(const TTransImages& images, std::int32_t frameCount);

// Effect 70, "Box In": a centred box of the old picture shrinks to nothing with the new image around
// it. Null when the picture is less than two pixels wide.
std::unique_ptr<TFamily> MakeBoxIn(const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
