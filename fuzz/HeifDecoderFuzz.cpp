// Any bytes as a HEIF or AVIF file: nothing, or one upright picture of the size Open promised.
// Each input goes once under the real pixel cap and once under one so low that a grid of small
// tiles is decoded tile by tile, so that small inputs reach that path too.

#include "fuzz/DecoderFuzz.h"
#include "gfx/decode/HeifDecoder.h"

namespace {

constexpr std::int64_t kTilingCap = 8192;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::THeifDecoder decoder;
    fuzz::DecodeOnce(decoder, data, size);
    gfx::THeifDecoder tiling(kTilingCap);
    fuzz::DecodeOnce(tiling, data, size);
    return 0;
}
