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
    // Draws one frame; true while any piece has steps left.
    virtual bool DrawFrame(TPresenter& presenter) = 0;
};

}  // namespace trans
