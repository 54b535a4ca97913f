#include "transitions/RegionWipe.h"

#include <algorithm>

namespace trans {

void TRegionWipe::Reveal(TPresenter& presenter, const gfx::TRegion& region) {
    const gfx::TRegion added = gfx::TRegion::Combine(region, last_, gfx::CombineMode::Diff);
    last_ = region;
    if (added.IsEmpty()) {
        return;
    }
    // About sixteen bands down the picture, and parts less than a sixteenth of its width apart taken
    // as one: a few dozen rectangles at most.
    const gfx::IntRect bounds = images_.NewImage->BoundsRect();
    changed_ = gfx::CoveringRects(added, bounds, std::max(8, Height() / 16), std::max(8, Width() / 16));
    const gfx::ConstPixelView fresh = images_.NewImage->View();
    presenter.Compose(changed_, [&](const gfx::PixelView& canvas) { gfx::CopyRegion(canvas, fresh, added); });
}

}  // namespace trans
