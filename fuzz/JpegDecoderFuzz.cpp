// Any bytes as a JPEG file: nothing, or a picture of the size the header promised.

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::TJpegDecoder decoder;
    fuzz::DecodeOnce(decoder, data, size);
    return 0;
}
