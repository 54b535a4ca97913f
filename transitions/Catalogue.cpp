#include "transitions/Catalogue.h"

#include "transitions/Boxes.h"
#include "transitions/Ellipses.h"
#include "transitions/FadeUnfolds.h"
#include "transitions/Fades.h"
#include "transitions/LineDrops.h"
#include "transitions/RandomShapes.h"
#include "transitions/Shapes.h"
#include "transitions/Slides.h"
#include "transitions/Sweeps.h"
#include "transitions/Unfolds.h"
#include "transitions/Zooms.h"

namespace trans {

TDispatch Dispatch(std::int32_t effect) {
    struct Range {
        std::int32_t first;
        std::int32_t last;
        TRoutine routine;
        std::int32_t base;
    };
    static constexpr Range kRanges[] = {
        {1, 22, TRoutine::Slides, 0},        {23, 64, TRoutine::Unfolds, 22},   {65, 68, TRoutine::LineDrops, 64},
        {69, 69, TRoutine::BoxOut, 69},      {70, 70, TRoutine::BoxIn, 70},     {71, 76, TRoutine::Ellipses, 70},
        {77, 95, TRoutine::Shapes, 76},      {96, 100, TRoutine::RandomShapes, 95},
        {101, 102, TRoutine::Sweeps, 100},   {103, 114, TRoutine::Zooms, 102},  {115, 116, TRoutine::Fades, 114},
        {117, 120, TRoutine::FadeUnfolds, 116},
    };
    for (const Range& r : kRanges) {
        if (effect >= r.first && effect <= r.last) {
            return {r.routine, effect - r.base};
        }
    }
    return {};
}

std::unique_ptr<TFamily> CreateFamily(std::int32_t effect, const TTransImages& images, std::int32_t frameCount) {
    const TDispatch d = Dispatch(effect);
    switch (d.routine) {
        case TRoutine::Slides:
            return MakeSlides(d.variant, images, frameCount);
        case TRoutine::Unfolds:
            return MakeUnfolds(d.variant, images, frameCount);
        case TRoutine::LineDrops:
            return MakeLineDrops(d.variant, images, frameCount);
        case TRoutine::BoxOut:
            return MakeBoxOut(images, frameCount);
        case TRoutine::BoxIn:
            return MakeBoxIn(images, frameCount);
        case TRoutine::Ellipses:
            return MakeEllipses(d.variant, images, frameCount);
        case TRoutine::Shapes:
            return MakeShapes(d.variant, images, frameCount);
        case TRoutine::RandomShapes:
            return MakeRandomShapes(d.variant, images, frameCount);
        case TRoutine::Sweeps:
            return MakeSweeps(d.variant, images, frameCount);
        case TRoutine::Zooms:
            return MakeZooms(d.variant, images, frameCount);
        case TRoutine::Fades:
            return MakeFades(d.variant, images, frameCount);
        case TRoutine::FadeUnfolds:
            return MakeFadeUnfolds(d.variant, images, frameCount);
        case TRoutine::None:
            break;
    }
    return nullptr;
}

}  // namespace trans
