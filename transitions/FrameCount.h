#pragma once

#include <cstdint>

namespace trans {

// The frame count of a transition from the effect speed (1 "Smooth" .. 10 "Fast") and the width of
// the main window. Speeds outside 1..10 count as the nearest end.
std::int32_t FrameCountFromSpeed(std::int32_t windowWidth, std::int32_t speed);

}  // namespace trans
