// Any bytes as a HEIF or AVIF file: nothing, or one upright picture of the size Open promised.

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/HeifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::THeifDecoder decoder;
    fuzz::DecodeOnce(decoder, data, size);
    return 0;
}
