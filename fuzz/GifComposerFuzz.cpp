// Any bytes as an animated GIF, composed frame after frame: every picture has the logical
// screen's size, and each frame composed by continuing from the one before equals the same frame
// composed afresh, whatever the frames' places, clipping, disposal and transparency.

#include <cstdint>

#include "gfx/decode/GifDecoder.h"
#include "slideshow/GifComposer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Few and small frames keep the fresh compositions, one a frame, quick.
    gfx::TGifDecoder decoder({.frames = 48, .pixels = std::int64_t{1} << 18});
    if (!decoder.Open({data, size}) || std::int64_t{decoder.Size().width} * decoder.Size().height > (1 << 16)) {
        return 0;
    }
    auto picture = decoder.Frames();
    if (!picture) {
        return 0;
    }
    show::TGifComposer running(*picture);
    for (std::int32_t k = 0; k < running.FrameCount(); ++k) {
        const gfx::TBitmap32& continued = running.Compose(k);
        show::TGifComposer fresh(*picture);
        if (continued.Width() != picture->size.width || continued.Height() != picture->size.height ||
            !(continued == fresh.Compose(k))) {
            __builtin_trap();
        }
    }
    return 0;
}
