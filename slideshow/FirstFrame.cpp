#include "slideshow/FirstFrame.h"

namespace show {

gfx::TBitmap32 FirstFrameOf(const gfx::TPicture& picture) {
    gfx::TBitmap32 still(picture.size.width, picture.size.height, 0);
    if (!picture.frames.empty()) {
        const gfx::TPictureFrame& frame = picture.frames.front();
        still.CopyRect(frame.position, frame.bitmap, frame.bitmap.BoundsRect());
    }
    return still;
}

}  // namespace show
