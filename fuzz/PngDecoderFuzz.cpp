// Any bytes as a PNG file: nothing, or a picture of the size the header promised.

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::TPngDecoder decoder;
    fuzz::DecodeOnce(decoder, data, size);
    return 0;
}
