#include "platform/Clock.h"
#include "platform/sim/Scheduler.h"
#include "platform/sim/Sim.h"

namespace plat {

std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(sim::Scheduler::Get().TickNow()); }

std::uint64_t Microseconds() { return sim::Scheduler::Get().TickNow() * 1000; }

void Sleep(std::uint32_t ms) {
    auto& scheduler = sim::Scheduler::Get();
    if (scheduler.OnWorker()) {
        scheduler.WorkerSleep(ms);
    } else {
        scheduler.Sleep(ms);
    }
}

// The simulated timer has no resolution to raise: virtual time moves by whole milliseconds.
FineTimer::FineTimer() = default;

FineTimer::~FineTimer() = default;

std::uint32_t SeedSource() { return sim::M().seed + static_cast<std::uint32_t>(sim::Scheduler::Get().TickNow()); }

}  // namespace plat
