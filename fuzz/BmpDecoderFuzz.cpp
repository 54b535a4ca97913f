// Any bytes as a Windows bitmap file: nothing, or a picture within the pixel cap.

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto bitmap = gfx::DecodeBmp(data, size)) {
        fuzz::CheckBitmap(*bitmap);
    }
    return 0;
}
