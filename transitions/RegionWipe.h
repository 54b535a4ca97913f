#pragma once

#include <vector>

#include "gfx/Geometry.h"
#include "gfx/Region.h"
#include "transitions/Family.h"

namespace trans {

// The region wipes (ellipses, triangle shapes, random shapes) copy the new image onto the canvas
// through each frame's region, so what was revealed once stays revealed. Only what a frame's region
// adds to the last one's is copied, and only a few rectangles around that go to the screen: the
// screen shows what it would if the whole picture were composed and presented every frame.
class TRegionWipe : public TPacedFamily {
protected:
    explicit TRegionWipe(const TTransImages& images) : images_(images) {}

    // The new image through the region. Only the region's spans are copied, and they lie inside its
    // clip box: pixels outside the region keep what they show.
    void Reveal(TPresenter& presenter, const gfx::TRegion& region);

    std::int32_t Width() const { return images_.NewImage->Width(); }
    std::int32_t Height() const { return images_.NewImage->Height(); }

private:
    TTransImages images_;
    gfx::TRegion last_;  // the region the canvas shows the new image through already
    std::vector<gfx::IntRect> changed_;
};

}  // namespace trans
