#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "gfx/decode/PictureDecoder.h"
#include "platform/Surface.h"
#include "platform/Timer.h"

namespace show {

// Composes the full picture of frame k of an animation from its stored frames, with the disposal
// rules, keeping the last picture it made so that the next frame usually continues from it.
class TGifComposer {
public:
    explicit TGifComposer(gfx::TPicture picture);
    const gfx::TPicture& Picture() const { return picture_; }
    // Frame k at the logical screen's size; pixels nothing covers have alpha 0.
    const gfx::TBitmap32& Compose(std::int32_t k);

private:
    gfx::TPicture picture_;
    gfx::TBitmap32 cache_;
    std::int32_t cachedIndex_ = -1;
};

// The animation of the current GIF item in place: GifTimer redraws the item's rectangle frame by
// frame over gifbackg until the next item.
class TGifAnimator {
public:
    TGifAnimator();

    // LoadGif: StopGif, then decode the whole file; false when it cannot be decoded.
    bool LoadGif(const std::string& path);
    bool Loaded() const { return composer_ != nullptr; }
    // Frame 0 as the item's still image: pixels no frame covers are transparent, so that the page
    // background shows through them.
    std::optional<gfx::TBitmap32> FirstFrame();

    // Where the frames go: the background with the overlays already on it, the item's rectangle,
    // the surface that shows the item, and the slideshow's background colour.
    void SetStage(const gfx::TBitmap32& gifbackg, const gfx::IntRect& imageRect, plat::Surface* display);

    void AnimateGif();
    void StopGif();
    void GifTimerTimer();

    std::int32_t GifFrameIndex() const { return frameIndex_; }
    plat::Timer& GifTimer() { return timer_; }

private:
    std::unique_ptr<TGifComposer> composer_;
    std::int32_t frameIndex_ = 0;
    gfx::TBitmap32 gifbackg_;
    gfx::IntRect imageRect_;
    plat::Surface* display_ = nullptr;
    plat::Timer timer_;
};

}  // namespace show
