#include "transitions/Fades.h"

#include <algorithm>

#include "gfx/Mix.h"
#include "transitions/Arith.h"

namespace trans {

namespace {

class TFades final : public TPacedFamily {
public:
    TFades(std::int32_t variant, const TTransImages& images, std::int32_t d)
        : variant_(variant), images_(images), d_(d), v_(d) {}

    // "Crossfade": the new image over the old picture at alpha v. "Fade To Black": the old picture
    // fades out over transparent black at alpha 255 - 2v until v reaches 127, then the new image fades
    // in at 2v - 254. Each is one pass that reads the pictures and writes the canvas; the whole of it
    // goes to the screen.
    bool DrawFrame(TPresenter& presenter) override {
        const gfx::TBitmap32& fresh = *images_.NewImage;
        const gfx::TBitmap32& old = *images_.OldImage;
        presenter.Compose(fresh.BoundsRect(), [&](const gfx::PixelView& canvas) {
            if (variant_ == 1) {
                gfx::MixPixels(canvas, old.View(), fresh.View(), static_cast<std::uint32_t>(v_));
            } else if (v_ > 126) {
                gfx::MixPixels(canvas, 0, fresh.View(), static_cast<std::uint32_t>(std::min(255, 2 * v_ - 254)));
            } else {
                gfx::MixPixels(canvas, 0, old.View(), static_cast<std::uint32_t>(255 - 2 * v_));
            }
        });
        v_ += d_;
        return v_ < 255;
    }

private:
    std::int32_t variant_;
    TTransImages images_;
    std::int32_t d_;
    std::int32_t v_;
};

}  // namespace

std::unique_ptr<TFamily> MakeFades(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    // Slow speeds would give more than 254 blend passes; a step below 1 is 1.
    const std::int32_t d = std::max(765 / FrameUnit(frameCount), 1);
    if (variant < 1 || variant > 2 || d >= 255) {
        return nullptr;
    }
    return std::make_unique<TFades>(variant, images, d);
}

}  // namespace trans
