#pragma once

#include "platform/Surface.h"
#include "transitions/Family.h"

namespace trans {

// Puts a family's copies straight onto a canvas, on the calling thread: for driving an effect frame
// by frame without the worker (tests, tools, benchmarks).
class TSurfacePresenter final : public TPresenter {
public:
    TSurfacePresenter(plat::Surface& target, const TTransImages& images) : target_(target), images_(images) {}

    void Present(TSource image, const gfx::IntRect& source, const gfx::IntRect& target) override {
        target_.CopyToCanvas(images_.Get(image), source, target);
    }

    void Compose(std::span<const gfx::IntRect> changed, gfx::PixelDraw compose) override {
        const gfx::IntSize size{images_.NewImage->Width(), images_.NewImage->Height()};
        target_.DrawOnCanvas(changed, [&](const gfx::PixelView& canvas) { compose(gfx::Cropped(canvas, size)); });
    }

    using TPresenter::Compose;

private:
    plat::Surface& target_;
    TTransImages images_;
};

}  // namespace trans
