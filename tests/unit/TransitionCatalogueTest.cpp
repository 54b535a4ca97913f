// The catalogue of effects and the frame count from the effect speed.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "transitions/Catalogue.h"
#include "transitions/FrameCount.h"

namespace {

using trans::TRoutine;

TEST(Catalogue, EveryEffectHasItsOwnNameAndRoutine) {
    std::set<std::string> names;
    for (int e = 1; e <= 120; ++e) {
        names.insert(std::string(trans::EffectName(e)));
    }
    EXPECT_EQ(names.size(), 120u);
    EXPECT_EQ(names.count(""), 0u);
    EXPECT_EQ(trans::EffectName(0), "");
    EXPECT_EQ(trans::EffectName(121), "");
    // Spelling, spacing and signs exactly as the user sees them.
    EXPECT_EQ(trans::EffectName(1), "Slide From Up Left");
    EXPECT_EQ(trans::EffectName(20), "Sliding Columns From Up & Bottom");
    EXPECT_EQ(trans::EffectName(44), "Horizontal Lines From Up & Bottom");
    EXPECT_EQ(trans::EffectName(64), "Download From Up");
    EXPECT_EQ(trans::EffectName(82), "Propeller Counter-Clockwise");
    EXPECT_EQ(trans::EffectName(89), "Quarter Clock To Up Left 1");
    EXPECT_EQ(trans::EffectName(120), "Fade Unfold From Bottom");

    using D = trans::TDispatch;
    const std::vector<std::pair<int, D>> routes = {
        {1, {TRoutine::Slides, 1}},       {22, {TRoutine::Slides, 22}},       {23, {TRoutine::Unfolds, 1}},
        {64, {TRoutine::Unfolds, 42}},    {65, {TRoutine::LineDrops, 1}},     {69, {TRoutine::BoxOut, 0}},
        {70, {TRoutine::BoxIn, 0}},       {71, {TRoutine::Ellipses, 1}},      {95, {TRoutine::Shapes, 19}},
        {96, {TRoutine::RandomShapes, 1}}, {102, {TRoutine::Sweeps, 2}},      {114, {TRoutine::Zooms, 12}},
        {115, {TRoutine::Fades, 1}},      {120, {TRoutine::FadeUnfolds, 4}},  {0, {}},
        {121, {}},
    };
    for (const auto& [effect, route] : routes) {
        EXPECT_EQ(trans::Dispatch(effect), route) << effect;
    }
}

TEST(FrameCount, TwoWidthsHaveTheirOwnRowsAndEveryOtherWidthARule) {
    std::vector<int> w800, w1024, w1280, w1920;
    for (int speed = 1; speed <= 10; ++speed) {
        w800.push_back(trans::FrameCountFromSpeed(800, speed));
        w1024.push_back(trans::FrameCountFromSpeed(1024, speed));
        w1280.push_back(trans::FrameCountFromSpeed(1280, speed));
        w1920.push_back(trans::FrameCountFromSpeed(1920, speed));
    }
    EXPECT_EQ(w800, (std::vector<int>{800, 600, 400, 200, 100, 60, 40, 20, 8, 4}));
    EXPECT_EQ(w1024, (std::vector<int>{1024, 768, 400, 256, 128, 64, 32, 16, 8, 4}));
    // (width div speed) rounded down to a multiple of 4.
    EXPECT_EQ(w1280, (std::vector<int>{1280, 640, 424, 320, 256, 212, 180, 160, 140, 128}));
    EXPECT_EQ(w1920, (std::vector<int>{1920, 960, 640, 480, 384, 320, 272, 240, 212, 192}));
    EXPECT_EQ(trans::FrameCountFromSpeed(30, 10), 0);  // narrower than four times the speed
    EXPECT_EQ(trans::FrameCountFromSpeed(1280, 0), 1280);
    EXPECT_EQ(trans::FrameCountFromSpeed(1280, 11), 128);
}

}  // namespace
