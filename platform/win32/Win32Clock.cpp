#include <windows.h>
#include <mmsystem.h>

#include "platform/Clock.h"

namespace plat {

std::uint32_t GetTickCount() { return ::GetTickCount(); }

std::uint64_t Microseconds() {
    // The counter's frequency is fixed at boot; without a counter the tick count stands in.
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER f;
        return ::QueryPerformanceFrequency(&f) != 0 && f.QuadPart > 0 ? static_cast<std::uint64_t>(f.QuadPart) : 0;
    }();
    LARGE_INTEGER counter;
    if (frequency == 0 || ::QueryPerformanceCounter(&counter) == 0) {
        return static_cast<std::uint64_t>(::GetTickCount64()) * 1000;
    }
    return CounterMicroseconds(static_cast<std::uint64_t>(counter.QuadPart), frequency);
}

void Sleep(std::uint32_t ms) { ::Sleep(ms); }

FineTimer::FineTimer() : raised_(::timeBeginPeriod(1) == TIMERR_NOERROR) {}

FineTimer::~FineTimer() {
    if (raised_) {
        ::timeEndPeriod(1);
    }
}

std::uint32_t SeedSource() {
    LARGE_INTEGER counter;
    if (::QueryPerformanceCounter(&counter) != 0) {
        return static_cast<std::uint32_t>(counter.LowPart);
    }
    return ::GetTickCount();
}

}  // namespace plat
