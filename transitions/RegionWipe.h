#pragma once

#include "gfx/Geometry.h"
#include "gfx/Region.h"
#include "transitions/Family.h"

namespace trans {

// The region wipes (ellipses, triangle shapes, random shapes) compose in WorkImage: it starts as the
// old picture, each frame copies the new image onto it through that frame's region, so what was
// revealed once stays revealed, and the whole of it goes to the screen in one present.
class TRegionWipe : public TPacedFamily {
protected:
    // Copies the old picture onto WorkImage.
    explicit TRegionWipe(const TTransImages& images);

    // The new image through the region onto WorkImage. Only the region's spans are copied, and they
    // lie inside its clip box: pixels outside the region keep what they show.
    void Reveal(const gfx::TRegion& region);
    void PresentWhole(TPresenter& presenter) const;

    std::int32_t Width() const { return images_.NewImage->Width(); }
    std::int32_t Height() const { return images_.NewImage->Height(); }

private:
    TTransImages images_;
};

}  // namespace trans
