#include "transitions/Catalogue.h"

#include <array>

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

namespace {

constexpr std::array<std::string_view, kEffectCount> kNames = {
    "Slide From Up Left",
    "Slide From Up Right",
    "Slide From Bottom Right",
    "Slide From Bottom Left",
    "Slide From Left",
    "Slide From Right",
    "Slide From Bottom",
    "Slide From Up",
    "Door Close",
    "Door Open",
    "Close From Corners",
    "Iris Close",
    "Sliding Jaws Vertical",
    "Falling Columns",
    "Sliding Jaws Horizontal",
    "Sliding Columns",
    "Vertical Two Part Slide",
    "Horizontal Two Part Slide",
    "Sliding Columns From Sides",
    "Sliding Columns From Up & Bottom",
    "Blinds Slide Right",
    "Blinds Slide Left",
    "Unfold From Left",
    "Unfold From Right",
    "Unfold From Up",
    "Unfold From Bottom",
    "Unfold From Up Left",
    "Unfold From Up Right",
    "Unfold From Bottom Right",
    "Unfold From Bottom Left",
    "Unfold From Both Sides",
    "Unfold From Middle To Sides",
    "Unfold From All Corners",
    "Unfolding Iris",
    "Unfolding Vertical Jaws",
    "Unfolding Falling Columns",
    "Unfolding Horizontal Jaws",
    "Unfolding Horizontal Columns",
    "Vertical Two Part Unfold",
    "Horizontal Two Part Unfold",
    "Unfolding Columns Horizontally",
    "Unfolding Columns Vertically",
    "Vertical Lines From Sides",
    "Horizontal Lines From Up & Bottom",
    "Vertical Lines From Left & Back",
    "Horizontal Lines From Up & Back",
    "Horizontal Lines From Left",
    "Horizontal Lines From Right",
    "Horizontal Lines From Left & Back",
    "Horizontal Lines From Right & Back",
    "Horizontal Lines From Both Sides",
    "Vertical Lines From Up",
    "Vertical Lines From Bottom",
    "Vertical Lines From Up & Back",
    "Vertical Lines From Bottom & Back",
    "Vertical Lines From Up & Bottom",
    "Cross Lines From Bottom Left",
    "Cross Lines From Up Left",
    "Cross Lines From Bottom Right",
    "Cross Lines From Up Right",
    "Sweep From Left",
    "Sweep From Up",
    "Download From Left",
    "Download From Up",
    "Line Drop From Right",
    "Line Drop From Left",
    "Line Drop From Bottom",
    "Line Drop From Up",
    "Box Out",
    "Box In",
    "Ellipse Out",
    "Ellipse In",
    "Ellipse From Left",
    "Ellipse From Right",
    "Ellipse From Up",
    "Ellipse From Bottom",
    "Diagonal Unfold From Up Left",
    "Diagonal Unfold From Up Right",
    "Diagonal Unfold From Bottom Right",
    "Diagonal Unfold From Bottom Left",
    "Propeller Clockwise",
    "Propeller Counter-Clockwise",
    "Clock",
    "Clock Counter-Clockwise",
    "Chaos Star",
    "Window Washer",
    "Triangles",
    "Quarter Clock To Bottom Right",
    "Quarter Clock To Up Left 1",
    "Quarter Clock To Up Left 2",
    "Quarter Clock To Bottom Left",
    "Diamond In",
    "Diamond Out",
    "Diagonal Unfold From Corners 1",
    "Diagonal Unfold From Corners 2",
    "Random Horizontal Lines",
    "Random Vertical Lines",
    "Random Rectangles",
    "Random Ellipses",
    "Random Large Ellipses",
    "Sweep From Inside Out",
    "Sweep From Outside In",
    "Zoom In",
    "Zoom From Up Left",
    "Zoom From Up Right",
    "Zoom From Bottom Left",
    "Zoom From Bottom Right",
    "Zoom From Left",
    "Zoom From Up",
    "Zoom From Right",
    "Zoom From Bottom",
    "Zoom Door Close Horizontal",
    "Zoom Door Close Vertical",
    "Quattro Zoom In",
    "Crossfade",
    "Fade To Black",
    "Fade Unfold From Left",
    "Fade Unfold From Right",
    "Fade Unfold From Up",
    "Fade Unfold From Bottom",
};

}  // namespace

std::string_view EffectName(std::int32_t effect) {
    return effect >= 1 && effect <= kEffectCount ? kNames[static_cast<std::size_t>(effect - 1)] : std::string_view{};
}

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
