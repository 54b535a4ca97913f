#pragma once

// What every effect family shares: pieces that draw one frame per call, and the presenter that
// takes each copy to the screen. The worker adds pacing and stop requests around the frames
// (TransThread.h); tests, tools and benchmarks call the frames themselves.
//
// A frame touches each pixel as few times as its effect needs: pieces that show a part of a picture
// are copied onto the canvas, and frames that blend or mix pictures compose straight into the
// canvas, the bitmap that reaches the screen, with only the rectangles they changed going on to
// the screen.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "gfx/PixelView.h"

namespace trans {

// The worker's two pictures, by the present step that copies from them.
enum class TSource { New, Old };

struct TTransImages {
    const gfx::TBitmap32* NewImage = nullptr;
    const gfx::TBitmap32* OldImage = nullptr;

    const gfx::TBitmap32& Get(TSource source) const { return source == TSource::New ? *NewImage : *OldImage; }
};

// Takes a frame to the screen.
class TPresenter {
public:
    virtual ~TPresenter() = default;
    // One copy: source rectangle of the picture onto target rectangle of the canvas.
    virtual void Present(TSource image, const gfx::IntRect& source, const gfx::IntRect& target) = 0;
    // compose writes the canvas's pixels, cut to the picture's size, inside the changed rectangles
    // only; they then go to the screen.
    virtual void Compose(std::span<const gfx::IntRect> changed, gfx::PixelDraw compose) = 0;
    void Compose(const gfx::IntRect& changed, gfx::PixelDraw compose) {
        Compose(std::span<const gfx::IntRect>(&changed, 1), compose);
    }
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
