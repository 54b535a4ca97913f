// Any bytes as a WebP file: nothing, or a still picture, or the frames of an animation inside its
// canvas.

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/WebpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::TWebpDecoder decoder;
    fuzz::DecodeOnce(decoder, data, size, fuzz::Kind::Animation);
    return 0;
}
