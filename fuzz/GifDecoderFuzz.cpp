// Any bytes as a GIF file: nothing, or frames that lie inside the logical screen (clipped to it).

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Smaller animation limits than the real ones keep each input quick.
    gfx::TGifDecoder decoder({.frames = 256, .pixels = fuzz::kMaxFuzzPixels});
    fuzz::DecodeOnce(decoder, data, size, fuzz::Kind::Animation);
    return 0;
}
