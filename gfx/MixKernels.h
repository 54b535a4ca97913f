#pragma once

// The loops behind Mix.h, one set for each register width they are built for. The same source is
// built at the width the build's flags give (SSE2, or AVX2 where the whole build has it) and, on x86
// builds without AVX2, once more for AVX2 alone, which Mix.h uses where the processor has it: SSE2
// is too narrow for a crossfade to keep up with the memory it reads.

#include <cstdint>

#include "gfx/Color.h"
#include "gfx/PixelView.h"

namespace gfx {

struct MixKernels {
    std::int32_t vectorBytes;
    void (*mix)(const PixelView& target, const ConstPixelView& under, const ConstPixelView& over, std::uint32_t alpha);
    void (*mixOnColour)(const PixelView& target, Color32 under, const ConstPixelView& over, std::uint32_t alpha);
    void (*mixByAlpha)(Color32* target, const Color32* under, const Color32* over, std::int32_t n);
};

// The loops at the build's own width.
const MixKernels& BuildMixKernels();
// The loops at SSE2's width, which every x86 processor the program runs on has.
const MixKernels& Sse2MixKernels();
// The AVX2 loops of a build that is not AVX2 throughout, when this processor and its system run
// them; null otherwise.
const MixKernels* Avx2MixKernels();
// The same loops whether or not the processor has AVX2 (null where the build has no such copy): only
// for Avx2MixKernels, which asks the processor first, from code built without AVX2.
const MixKernels* Avx2MixLoops();

}  // namespace gfx
