#include "transitions/EffectPreview.h"

#include "common/Flags.h"
#include "transitions/SamplePictures.h"
#include "transitions/StartTransition.h"

namespace trans {

namespace {

constexpr std::uint32_t kTickMs = 200;
constexpr std::int32_t kFrames = 32;
constexpr std::int32_t kFrameDelayMs = 10;

// The caller's picture at the preview's size, or the sample in its place.
gfx::TBitmap32 PictureOrSample(const gfx::TBitmap32& own, int which, gfx::IntSize size) {
    if (own.Empty()) {
        return SamplePicture(which, size);
    }
    if (own.Width() == size.width && own.Height() == size.height) {
        return own;
    }
    gfx::TBitmap32 stretched(size.width, size.height);
    own.DrawTo(stretched, stretched.BoundsRect());
    return stretched;
}

}  // namespace

TEffectPreview::TEffectPreview(std::function<int()> currentItem)
    : currentItem_(std::move(currentItem)), timer_([this] { tmrPreviewTransTimer(); }, kTickMs, false) {}

void TEffectPreview::Prepare(plat::Surface& imgPreviewTrans) {
    target_ = &imgPreviewTrans;
    ShowSecond();
    timer_.SetEnabled(true);
}

void TEffectPreview::SetPictures(gfx::TBitmap32 first, gfx::TBitmap32 second) {
    own1_ = std::move(first);
    own2_ = std::move(second);
    if (target_ == nullptr) {
        return;
    }
    if (core::Flags().TransBusy) {
        // The worker still draws on the canvas: it stops after its current frame, and the next
        // tick shows the new picture.
        core::Flags().TransAbort = true;
        showPending_ = true;
        return;
    }
    ShowSecond();
}

void TEffectPreview::ShowSecond() {
    const gfx::IntSize size = target_->Bounds().Size();
    pt1_ = PictureOrSample(own1_, 1, size);
    pt2_ = PictureOrSample(own2_, 2, size);
    target_->Bitmap() = pt2_;
    target_->Changed();
    target_->CopyToCanvas(pt2_, pt2_.BoundsRect(), pt2_.BoundsRect());
    PreviewToggle = false;  // the second picture shows: the next preview goes to the first
    showPending_ = false;
}

void TEffectPreview::lbEffectsClick() {
    // A running preview stops after its current frame, showing its whole target picture.
    core::Flags().TransAbort = true;
    PreviewRequested = true;
}

void TEffectPreview::tmrPreviewTransTimer() {
    if (core::Flags().TransBusy || target_ == nullptr) {
        return;
    }
    if (showPending_) {
        ShowSecond();
    }
    if (!PreviewRequested) {
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
