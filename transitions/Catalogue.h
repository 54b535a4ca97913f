#pragma once

#include <cstdint>
#include <memory>

#include "transitions/EffectNames.h"
#include "transitions/Family.h"

namespace trans {

// The routines of the catalogue: the family each effect number belongs to.
enum class TRoutine {
    None,
    Slides,
    Unfolds,
    LineDrops,
    BoxOut,
    BoxIn,
    Ellipses,
    Shapes,
    RandomShapes,
    Sweeps,
    Zooms,
    Fades,
    FadeUnfolds,
};

// An effect's routine and its variant (the number minus the routine's base).
struct TDispatch {
    TRoutine routine = TRoutine::None;
    std::int32_t variant = 0;

    friend bool operator==(const TDispatch&, const TDispatch&) = default;
};

TDispatch Dispatch(std::int32_t effect);

// The family of an effect with its pieces set up for the worker's images and frame count, or null
// when the number is not an effect, or when the effect draws no frame at this size and frame count
// (the engine then shows the final frame at once).
std::unique_ptr<TFamily> CreateFamily(std::int32_t effect, const TTransImages& images, std::int32_t frameCount);

}  // namespace trans
