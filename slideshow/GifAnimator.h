#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "platform/Surface.h"
#include "platform/Timer.h"
#include "slideshow/GifComposer.h"

namespace show {

// The animation of the current GIF item in place: GifTimer redraws the item's rectangle frame by
// frame over gifbackg until the next item.
class TGifAnimator {
public:
    TGifAnimator();

    // LoadGif: StopGif, then decode the whole file and start again from frame 0; false when it
    // cannot be decoded, and then `why`, when given, says why. The file may be deleted as soon as
    // this returns.
    bool LoadGif(const std::string& path, std::string* why = nullptr);
    // The same for a picture decoded already (an animated WebP); false when it has no frame.
    bool LoadAnimation(gfx::TPicture picture);
    bool Loaded() const { return composer_ != nullptr; }
    std::int32_t FrameCount() const { return composer_ ? composer_->FrameCount() : 0; }

    // Frame 0 as the item's still image, made the way every tick makes its frame: when any frame
    // of the GIF is transparent, its transparent pixels (and those no frame covers) get alpha 0 and
    // the slideshow's background colour, so that the page background shows through them and
    // scaling blends their edges toward it; otherwise the picture is opaque.
    std::optional<gfx::TBitmap32> FirstFrame(gfx::TColor backgroundColor);

    // Where the frames go: the background with the overlays already on it, the item's rectangle,
    // the surface that shows the item, and the slideshow's background colour.
    void SetStage(gfx::TBitmap32 gifbackg, const gfx::IntRect& imageRect, plat::Surface* display,
                  gfx::TColor backgroundColor);

    // With a GIF of more than one frame loaded: the first tick in 1 ms.
    void AnimateGif();
    // Stops the timer and lets the GIF go, with its stage: the item that follows may be no GIF.
    void StopGif();
    // Draws frame GifFrameIndex over gifbackg into the item's rectangle, shows the whole picture
    // and arms the timer with that frame's delay; a GIF that does not loop stops after its last.
    void GifTimerTimer();

    std::int32_t GifFrameIndex() const { return frameIndex_; }
    plat::Timer& GifTimer() { return timer_; }

    // The timer's interval for a frame's delay. A delay below 20 ms (most often 0: none given)
    // plays as 100 ms, as the common viewers do: such files were made to be seen at that pace,
    // and a timer of 0 would never fire while one of 1 ms would keep the main thread busy.
    static std::uint32_t FrameInterval(std::int32_t delayMs);

private:
    gfx::TBitmap32 Presentable(const gfx::TBitmap32& composed, gfx::TColor backgroundColor) const;
    void Show(const gfx::TBitmap32& frame);

    std::unique_ptr<TGifComposer> composer_;
    bool transparent_ = false;  // some frame has a transparent colour
    std::int32_t frameIndex_ = 0;
    gfx::TBitmap32 gifbackg_;
    gfx::IntRect imageRect_;
    plat::Surface* display_ = nullptr;
    gfx::TColor backgroundColor_ = 0;
    plat::Timer timer_;
};

}  // namespace show
