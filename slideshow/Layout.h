#pragma once

#include <cstdint>

#include "gfx/Geometry.h"

namespace show {

// The aspect-preserving fit of an image into an area, centred; the whole area when any size is 0.
gfx::IntRect FitRect(std::int32_t areaWidth, std::int32_t areaHeight, std::int32_t imageWidth,
                     std::int32_t imageHeight);

// Where a still image goes on a frame by the size mode (the "Stretch" codes 0..5; any other value
// fits and places at random). Random placements draw from the run-time generator.
gfx::IntRect PlaceStill(std::int32_t sizeMode, gfx::IntSize frame, gfx::IntSize image);

// The size of the rectangle PlaceStill gives, known before the picture is decoded and drawing
// nothing from the generator: random placements move the rectangle, never resize it.
gfx::IntSize StillSize(std::int32_t sizeMode, gfx::IntSize frame, gfx::IntSize image);

// Where the Flash or video panel goes on the screen, for a movie's rectangle.
gfx::IntRect PlacePanel(std::int32_t sizeMode, gfx::IntSize screen, const gfx::IntRect& movie);

}  // namespace show
