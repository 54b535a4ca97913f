#include "gfx/Mix.h"

#include "gfx/MixLoops.h"

namespace gfx {

namespace {

#if defined(__AVX2__)
constexpr int kBuildVectorBytes = 32;
#else
constexpr int kBuildVectorBytes = 16;
#endif

// Chosen once, at the first mix.
const MixKernels& Kernels() {
    static const MixKernels& kernels = Avx2MixKernels() != nullptr ? *Avx2MixKernels() : BuildMixKernels();
    return kernels;
}

}  // namespace

const MixKernels& BuildMixKernels() { return kMixKernels<kBuildVectorBytes>; }

const MixKernels& Sse2MixKernels() { return kMixKernels<16>; }

void MixPixels(const PixelView& target, const ConstPixelView& under, const ConstPixelView& over, std::uint32_t alpha) {
    Kernels().mix(target, under, over, alpha);
}

void MixPixels(const PixelView& target, Color32 under, const ConstPixelView& over, std::uint32_t alpha) {
    Kernels().mixOnColour(target, under, over, alpha);
}

void MixRowByAlpha(Color32* target, const Color32* under, const Color32* over, std::int32_t n) {
    Kernels().mixByAlpha(target, under, over, n);
}

}  // namespace gfx
