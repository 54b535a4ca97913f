#pragma once

#include <cstdint>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "transitions/Pieces.h"

namespace trans {

// The soft edge of the fade unfolds: a band that moves like a TFold and each step holds the new
// image's pixels under it in its own buffer, with an alpha ramp across the buffer.
class TFoldFade {
public:
    // How the alpha runs across the buffer; any other value gives every pixel a random alpha.
    enum Ramp : std::int32_t { FallsRight = 1, RisesRight = 2, FallsDown = 3, RisesDown = 4 };

    // Start (x, y), size (w, h) of the band and its buffer, velocity (dx, dy).
    TFoldFade(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double dx, double dy, std::int32_t steps,
              std::int32_t ramp, const gfx::TBitmap32& newImage);

    // Takes the band's rectangle as a fold does and, where it is visible, fills the buffer from the new
    // image and sets the ramp; then moves. False once no steps are left; without steps left it
    // changes nothing.
    bool Step();

    const gfx::IntRect& SourceRect() const { return band_.SourceRect(); }
    const gfx::IntRect& TargetRect() const { return band_.TargetRect(); }
    // Blend draw mode: its pixels weighted by their ramp alpha.
    const gfx::TBitmap32& Buffer() const { return buffer_; }

private:
    void SetRamp();

    TFold band_;
    std::int32_t ramp_;
    const gfx::TBitmap32* newImage_;
    gfx::TBitmap32 buffer_;
    std::vector<gfx::Color32> alphas_;  // alpha << 24 per column or row of the buffer
};

}  // namespace trans
