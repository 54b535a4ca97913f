#pragma once

#include <cstdint>

namespace plat {

// Milliseconds since the system started; wraps like the system's tick count.
std::uint32_t GetTickCount();

// Microseconds on a steady clock from an arbitrary origin, for pacing to well under a millisecond:
// the tick count moves in steps of a whole timer tick (15.6 ms on Windows, and under Wine too). On
// the simulated platform it is the virtual clock, so a pace kept on it is the same as on the tick count.
std::uint64_t Microseconds();

// A counter's value in microseconds, for a counter of frequency counts a second: whole seconds and
// the rest apart, so that the product cannot overflow in a long uptime (at 10 MHz a plain
// count * 1000000 overflows after 21 days).
constexpr std::uint64_t CounterMicroseconds(std::uint64_t count, std::uint64_t frequency) {
    return count / frequency * 1000000 + count % frequency * 1000000 / frequency;
}

// Suspends the calling thread. On the simulated platform only virtual time passes.
void Sleep(std::uint32_t ms);

// While one lives the system timer ticks every millisecond, so that Sleep(1) sleeps about one
// millisecond rather than up to a whole timer tick. Nothing on the simulated platform.
class FineTimer {
public:
    FineTimer();
    ~FineTimer();
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

private:
    bool raised_ = false;
};

// The value the random generator is seeded from: the low 32 bits of the high-resolution
// performance counter, or the tick count where there is none.
std::uint32_t SeedSource();

}  // namespace plat
