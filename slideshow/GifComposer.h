#pragma once

#include <cstdint>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/decode/PictureDecoder.h"

namespace show {

// Composes the full picture of frame k of an animation from its stored frames, with the disposal
// rules, keeping the last picture it made so that the next frame usually continues from it.
//
// Transparency goes by alpha: a frame leaves out exactly its pixels of alpha 0, which the decoder
// gives to the pixels of the transparent palette index and, in a frame cut off by damage, to the
// rows its data did not reach, and to no other. (Leaving out every pixel of the transparent colour
// would also punch holes where an opaque index shares that colour.)
class TGifComposer {
public:
    explicit TGifComposer(gfx::TPicture picture);
    const gfx::TPicture& Picture() const { return picture_; }
    std::int32_t FrameCount() const { return static_cast<std::int32_t>(picture_.frames.size()); }

    // What shows where no frame covers the picture, and where a frame is restored to the
    // background: frame 0's transparent colour when it has one; else the GIF's background colour
    // when any frame is transparent; else the window colour. Its alpha is 0.
    gfx::Color32 FillColor() const { return fill_; }

    // Frame k at the logical screen's size; pixels nothing covers have the fill colour and alpha 0.
    // An index outside the frames gives the last picture unchanged.
    const gfx::TBitmap32& Compose(std::int32_t k);

private:
    // Going down from k to 1, the first frame after which the picture no longer depends on the
    // frames before it: one that covers the logical screen and either has no transparent colour
    // or is restored to the background before k; 0 when there is none. A frame before k that is
    // restored to the previous picture never counts: after it, the frames before it show again.
    std::int32_t StartFrame(std::int32_t k) const;
    void DrawFrame(std::int32_t j);
    void FillFrame(std::int32_t j);

    gfx::TPicture picture_;
    gfx::Color32 fill_ = 0;
    gfx::TBitmap32 cache_;
    std::int32_t cachedIndex_ = -1;
};

}  // namespace show
