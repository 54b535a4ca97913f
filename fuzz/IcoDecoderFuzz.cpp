// Any bytes as an icon file: nothing, or the largest image, bitmap or PNG.

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/IcoDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::LargestIconSize({data, size});
    if (const auto bitmap = gfx::DecodeIco({data, size})) {
        fuzz::CheckBitmap(*bitmap);
    }
    return 0;
}
