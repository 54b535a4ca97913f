#include <windows.h>

#include "platform/Clock.h"

namespace plat {

std::uint32_t GetTickCount() { return ::GetTickCount(); }

void Sleep(std::uint32_t ms) { ::Sleep(ms); }

std::uint32_t SeedSource() {
    LARGE_INTEGER counter;
    if (::QueryPerformanceCounter(&counter) != 0) {
        return static_cast<std::uint32_t>(counter.LowPart);
    }
    return ::GetTickCount();
}

}  // namespace plat
