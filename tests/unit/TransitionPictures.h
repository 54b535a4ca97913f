#pragma once

// Pictures and checks for the transition tests. Every pixel of the test pictures tells where it came
// from (which picture, which column and row), so a misplaced copy names itself in a failure.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "platform/sim/SimSurface.h"
#include "transitions/Family.h"

namespace testing_support {

// Old picture pixel (x, y) is 0xFF000000 | y << 11 | x; the new picture's also has 0x00800000 set.
gfx::TBitmap32 OldPicture(std::int32_t width, std::int32_t height);
gfx::TBitmap32 NewPicture(std::int32_t width, std::int32_t height);
// "old(3,4)", "new(3,4)" or the colour in hex.
std::string DescribePixel(gfx::Color32 c);

// Same size and pixels; a failure lists the first differing pixels.
::testing::AssertionResult SamePicture(const gfx::TBitmap32& actual, const gfx::TBitmap32& expected);

// One copy of a frame: source rectangle of the old or new picture to a point of the canvas.
struct Copy {
    trans::TSource from;
    gfx::IntRect source;
    gfx::IntPoint to;
};
inline constexpr trans::TSource kNew = trans::TSource::New;
inline constexpr trans::TSource kOld = trans::TSource::Old;

// A part of the new picture in its own place.
inline Copy InPlace(const gfx::IntRect& r) { return {kNew, r, {r.left, r.top}}; }

// One effect's family driven frame by frame onto a simulated canvas that shows the old picture. An
// effect without frames at this size and frame count draws none.
class FamilyRun {
public:
    FamilyRun(std::int32_t effect, std::int32_t width, std::int32_t height, std::int32_t frameCount);

    bool HasFrames() const { return family_ != nullptr; }
    const gfx::TBitmap32& Canvas() const { return canvas_.Canvas(); }
    const gfx::TBitmap32& Old() const { return old_; }
    const gfx::TBitmap32& New() const { return new_; }

    // Draws one frame; true while pieces have steps left.
    bool Frame();
    // Draws frames until the given frame number has been drawn.
    void RunTo(int frame);
    // Draws the remaining frames; returns how many frames the effect took in all.
    int RunToEnd();
    int FramesDrawn() const { return frames_; }

    // Draws the next frame and checks that it changed the canvas by exactly these copies, in order.
    ::testing::AssertionResult NextFrameCopies(std::initializer_list<Copy> copies);
    ::testing::AssertionResult NextFrameCopies(const std::vector<Copy>& copies);

private:
    gfx::TBitmap32 old_;
    gfx::TBitmap32 new_;
    sim::SimSurface canvas_;
    std::unique_ptr<trans::TPresenter> presenter_;
    std::unique_ptr<trans::TFamily> family_;
    int frames_ = 0;
    bool more_ = true;
};

}  // namespace testing_support
