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
    static const MixKernels* const wide = Avx2MixKernels();
    return wide != nullptr ? *wide : BuildMixKernels();
}

}  // namespace

const MixKernels* Avx2MixKernels() {
#if defined(__i386__) || defined(__x86_64__)
    // The check covers the system too: AVX2 counts only where it saves the wide registers.
    static const bool usable = Avx2MixLoops() != nullptr && __builtin_cpu_supports("avx2");
    return usable ? Avx2MixLoops() : nullptr;
#else
    return nullptr;
#endif
}

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
