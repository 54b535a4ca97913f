#include "tools/ssmaker/Job.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace maker {

namespace {

std::atomic<int> g_working{0};

}  // namespace

namespace jobs {

void Starting() { ++g_working; }
void Ended() { --g_working; }

}  // namespace jobs

void WaitForJobs() {
    while (g_working > 0) {
        plat::ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace maker
