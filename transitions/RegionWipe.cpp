#include "transitions/RegionWipe.h"

namespace trans {

TRegionWipe::TRegionWipe(const TTransImages& images) : images_(images) {
    images_.WorkImage->CopyRect({0, 0}, *images_.OldImage, images_.OldImage->BoundsRect());
}

void TRegionWipe::Reveal(const gfx::TRegion& region) { gfx::CopyRegion(*images_.WorkImage, *images_.NewImage, region); }

void TRegionWipe::PresentWhole(TPresenter& presenter) const {
    const gfx::IntRect whole{0, 0, Width(), Height()};
    presenter.Present(TSource::Work, whole, whole);
}

}  // namespace trans
