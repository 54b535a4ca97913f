#pragma once

#include <cstdint>

#include "gfx/Geometry.h"
#include "transitions/Family.h"

namespace trans {

// A region [X0, X1] x [Y0, Y1] of one image drawn at an offset that moves by (dx, dy) every step,
// cut to the region: what lies outside it is not drawn.
class TSlide {
public:
    TSlide(std::int32_t x, std::int32_t y, TSource image, std::int32_t X0, std::int32_t X1, std::int32_t Y0,
           std::int32_t Y1, double dx, double dy, std::int32_t steps);

    // Moves one step and works out the visible part; false once no steps are left. Without steps
    // left it changes nothing.
    bool Step();

    TSource Image() const { return image_; }
    const gfx::IntRect& SourceRect() const { return sourceRect_; }
    const gfx::IntRect& TargetRect() const { return targetRect_; }

private:
    std::int32_t stepsLeft_;
    double x_;
    double y_;
    double dx_;
    double dy_;
    std::int32_t X0_;
    std::int32_t X1_;
    std::int32_t Y0_;
    std::int32_t Y1_;
    TSource image_;
    gfx::IntRect targetRect_;
    gfx::IntRect sourceRect_;
};

// A rectangle of fixed size that moves by (dx, dy) every step and shows the new image in place
// under it. A negative width or height extends left of x or above y.
class TFold {
public:
    TFold(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double dx, double dy, std::int32_t steps,
          gfx::IntSize imageSize);

    // Takes the rectangle at the current position, then moves; false once no steps are left.
    // Without steps left it changes nothing.
    bool Step();

    const gfx::IntRect& SourceRect() const { return sourceRect_; }
    const gfx::IntRect& TargetRect() const { return targetRect_; }
    // The position the next step starts from.
    double X() const { return x_; }
    double Y() const { return y_; }
    std::int32_t StepsLeft() const { return stepsLeft_; }

private:
    std::int32_t imageWidth_;
    std::int32_t imageHeight_;
    std::int32_t stepsLeft_;
    double x_;
    double y_;
    double w_;
    double h_;
    double dx_;
    double dy_;
    gfx::IntRect sourceRect_;
    gfx::IntRect targetRect_;
};

// A fixed source rectangle of the new image drawn scaled into a target rectangle whose four edges move
// by their own velocities every step: vx and vr for the left and right edges, vy and vb for the top
// and bottom.
class TZoom {
public:
    TZoom(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const gfx::IntRect& source, double vx,
          double vr, double vy, double vb, std::int32_t steps);

    // Moves the edges and takes the rounded target rectangle; false once no steps are left. Without
    // steps left it changes nothing.
    bool Step();

    const gfx::IntRect& SourceRect() const { return shownSource_; }
    const gfx::IntRect& TargetRect() const { return targetRect_; }

private:
    std::int32_t stepsLeft_;
    double x_;
    double y_;
    double w_;
    double h_;
    double vx_;
    double vr_;
    double vy_;
    double vb_;
    gfx::IntRect source_;
    gfx::IntRect targetRect_;
    gfx::IntRect shownSource_;
};

}  // namespace trans
