#pragma once

#include <cstdint>

namespace core {

// The run-time generator used everywhere: seed := seed * 134775813 + 1 (mod 2^32), and the result
// is the high 32 bits of the 64-bit product seed * n, so 0 <= Random(n) < n and Random(0) = 0.
std::int32_t Random(std::int32_t n);

// Re-seeds from the platform's high-resolution counter (or the tick count).
void Randomize();

void SetRandSeed(std::uint32_t seed);
std::uint32_t RandSeed();

}  // namespace core
