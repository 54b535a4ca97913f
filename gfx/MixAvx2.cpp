// The mixing loops once more at AVX2's width, for x86 builds that are not AVX2 throughout. This file
// alone is built with AVX2; the processor is asked elsewhere, in code built without it, before
// anything here runs.

#include "gfx/MixLoops.h"

namespace gfx {

const MixKernels* Avx2MixLoops() {
#if defined(__AVX2__) && !defined(SAVER_BUILD_AVX2)
    return &kMixKernels<32>;
#else
    return nullptr;
#endif
}

}  // namespace gfx
