// The mixing loops once more at AVX2's width, for x86 builds that are not AVX2 throughout; this file
// alone is built with AVX2, and nothing in it runs before the processor has been asked.

#include "gfx/MixLoops.h"

namespace gfx {

const MixKernels* Avx2MixKernels() {
#if defined(__AVX2__) && !defined(SAVER_BUILD_AVX2)
    // The check covers the system too: AVX2 counts only where it saves the wide registers.
    static const bool usable = __builtin_cpu_supports("avx2");
    return usable ? &kMixKernels<32> : nullptr;
#else
    return nullptr;
#endif
}

}  // namespace gfx
