#include "platform/Clock.h"
#include "platform/sim/Scheduler.h"
#include "platform/sim/Sim.h"

namespace plat {

std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(sim::Scheduler::Get().TickNow()); }

void Sleep(std::uint32_t ms) {
    auto& scheduler = sim::Scheduler::Get();
    if (scheduler.OnWorker()) {
        scheduler.WorkerSleep(ms);
    } else {
        scheduler.Sleep(ms);
    }
}

std::uint32_t SeedSource() { return sim::M().seed + static_cast<std::uint32_t>(sim::Scheduler::Get().TickNow()); }

}  // namespace plat
