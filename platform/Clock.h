#pragma once

#include <cstdint>

namespace plat {

// Milliseconds since the system started; wraps like the system's tick count.
std::uint32_t GetTickCount();

// Suspends the calling thread. On the simulated platform only virtual time passes.
void Sleep(std::uint32_t ms);

// The value the random generator is seeded from: the low 32 bits of the high-resolution
// performance counter, or the tick count where there is none.
std::uint32_t SeedSource();

}  // namespace plat
