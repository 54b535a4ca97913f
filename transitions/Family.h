#pragma once

// What every effect family shares: pieces that draw one frame per call, and the presenter that
// takes each copy to the screen. The worker adds pacing and stop requests around the frames
// (TransThread.h); tests, tools and benchmarks call the frames themselves.

#include <cstdint>
#include <memory>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace trans {

// The worker's three bitmaps, by the present step that copies from them.
enum class TSource { New, Old, Work };

struct TTransImages {
    const gfx::TBitmap32* NewImage = nullptr;
    const gfx::TBitmap32* OldImage = nullptr;
    gfx::TBitmap32* WorkImage = nullptr;

    const gfx::TBitmap32& Get(TSource source) const {
        return source == TSource::New ? *NewImage : source == TSource::Old ? *OldImage : *WorkImage;
    }
};

// Takes one copy of a frame to the screen: source rectangle of the bitmap onto target rectangle of
// the target canvas.
class TPresenter {
public:
    virtual ~TPresenter() = default;
    virtual void Present(TSource image, const gfx::IntRect& source, const gfx::IntRect& target) = 0;
};

// One effect with its pieces set up for a picture size and a frame count.
class TFamily {
public:
    virtual ~TFamily() = default;
    // Draws one frame; true while more frames follow (while any piece has steps left).
    virtual bool DrawFrame(TPresenter& presenter) = 0;
    // Whether the frame delay is waited out after the last frame too, before the final frame.
    virtual bool WaitsAfterLastFrame() const { return false; }
};

// The families that pace their own frames (line drops to sweeps, and the two whole-picture fades):
// their loop waits after every frame it draws, the last one included, and they test their end
// condition before drawing, so at some sizes they draw no frame at all (their maker then gives none).
class TPacedFamily : public TFamily {
public:
    bool WaitsAfterLastFrame() const final { return true; }
};

}  // namespace trans
