#include "transitions/EffectPreview.h"

#include "common/Flags.h"
#include "transitions/SamplePictures.h"
#include "transitions/StartTransition.h"

namespace trans {

namespace {

constexpr std::uint32_t kTickMs = 200;
constexpr std::int32_t kFrames = 32;
constexpr std::int32_t kFrameDelayMs = 10;

}  // namespace

TEffectPreview::TEffectPreview(std::function<int()> currentItem)
    : currentItem_(std::move(currentItem)), timer_([this] { tmrPreviewTransTimer(); }, kTickMs, false) {}

void TEffectPreview::Prepare(plat::Surface& imgPreviewTrans) {
    target_ = &imgPreviewTrans;
    const gfx::IntSize size = imgPreviewTrans.Bounds().Size();
    pt1_ = SamplePicture(1, size);
    pt2_ = SamplePicture(2, size);
    imgPreviewTrans.Bitmap() = pt2_;
    imgPreviewTrans.Changed();
    imgPreviewTrans.CopyToCanvas(pt2_, pt2_.BoundsRect(), pt2_.BoundsRect());
    PreviewToggle = false;  // the second picture shows: the next preview goes to the first
    timer_.SetEnabled(true);
}

void TEffectPreview::lbEffectsClick() {
    // A running preview stops after its current frame, showing its whole target picture.
    core::Flags().TransAbort = true;
    PreviewRequested = true;
}

void TEffectPreview::tmrPreviewTransTimer() {
    if (core::Flags().TransBusy || !PreviewRequested || target_ == nullptr) {
        return;
    }
    const int item = currentItem_();
    if (item < 0) {
        return;
    }
    PreviewRequested = false;
    StartTransition(*target_, PreviewToggle ? pt2_ : pt1_, item + 1, kFrameDelayMs, kFrames, false);
    PreviewToggle = !PreviewToggle;
}

}  // namespace trans
