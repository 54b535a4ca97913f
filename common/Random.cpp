#include "common/Random.h"

#include <atomic>

#include "platform/Clock.h"

namespace core {

namespace {
// Shared by the main thread and the transition worker; the two never draw at the same time,
// the atomic only keeps the hand-over well defined.
std::atomic<std::uint32_t> g_seed{0};
}  // namespace

std::int32_t Random(std::int32_t n) {
    const std::uint32_t seed = g_seed.load(std::memory_order_relaxed) * 134775813u + 1u;
    g_seed.store(seed, std::memory_order_relaxed);
    if (n <= 0) {
        return 0;
    }
    return static_cast<std::int32_t>((std::uint64_t{seed} * static_cast<std::uint32_t>(n)) >> 32);
}

void Randomize() { SetRandSeed(plat::SeedSource()); }

void SetRandSeed(std::uint32_t seed) { g_seed.store(seed, std::memory_order_relaxed); }

std::uint32_t RandSeed() { return g_seed.load(std::memory_order_relaxed); }

}  // namespace core
