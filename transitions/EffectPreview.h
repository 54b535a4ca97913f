#pragma once

#include <functional>

#include "gfx/Bitmap32.h"
#include "platform/Surface.h"
#include "platform/Timer.h"

namespace trans {

// The effect page's preview: each click on an effect's name plays that effect once, 32 frames
// 10 ms apart, between two pictures in turn (the samples, or the caller's own), on the transition
// worker. A click while a preview runs stops it, and the new one starts at a later tick once the
// worker has ended.
class TEffectPreview {
public:
    // currentItem: the effect list's current line, -1 when none.
    explicit TEffectPreview(std::function<int()> currentItem);

    // The preview's image control, sized to the pictures: the second one shows at once and the
    // timer starts.
    void Prepare(plat::Surface& imgPreviewTrans);
    // Plays the previews between these two pictures, made by the caller at the preview area's size
    // (one of another size is stretched to it); an empty one stands for its sample picture. Once
    // Prepare has run, the second shows at once, or, when a preview runs, as soon as it has stopped.
    void SetPictures(gfx::TBitmap32 first, gfx::TBitmap32 second);
    void lbEffectsClick();
    void tmrPreviewTransTimer();

    bool PreviewRequested = false;
    bool PreviewToggle = false;
    plat::Timer& tmrPreviewTrans() { return timer_; }
    const gfx::TBitmap32& ImgPT1() const { return pt1_; }
    const gfx::TBitmap32& ImgPT2() const { return pt2_; }

private:
    void ShowSecond();

    std::function<int()> currentItem_;
    plat::Surface* target_ = nullptr;
    gfx::TBitmap32 own1_;  // the caller's pictures; empty for the samples
    gfx::TBitmap32 own2_;
    bool showPending_ = false;  // new pictures came while a preview ran
    gfx::TBitmap32 pt1_;
    gfx::TBitmap32 pt2_;
    plat::Timer timer_;
};

}  // namespace trans
