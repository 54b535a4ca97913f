#include "tools/sspack/CheckPool.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <limits>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "gfx/decode/Limits.h"

namespace sspack {

namespace {

// What one worker may hold at worst: a picture file read whole and every frame of an animation.
constexpr std::int64_t kWorkerBytes = gfx::kMaxPictureFileBytes + gfx::kMaxAnimationPixels * 4;

// A 32-bit build has 2 GiB of address space; the checks take at most half of it, so that the
// largest pictures still find room whole however the rest is laid out. A 64-bit build has no
// such limit.
constexpr std::int64_t kCheckAddressSpace = sizeof(void*) == 4 ? std::int64_t{1} << 30
                                                                 : std::numeric_limits<std::int64_t>::max();
constexpr unsigned kMaxWorkers =
    static_cast<unsigned>(std::min<std::int64_t>(kCheckAddressSpace / kWorkerBytes, 1024));
static_assert(kMaxWorkers >= 1);

std::optional<unsigned> WorkersAsked() {
    const char* value = std::getenv("SSPACK_JOBS");
    if (value == nullptr) {
        return std::nullopt;
    }
    const std::string_view text(value);
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n == 0) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

std::vector<std::optional<std::string>> RunChecks(std::span<const PieceCheck> checks, unsigned workers,
                                                  const CheckProgress& progress, std::stop_token stop) {
    std::vector<std::optional<std::string>> answers(checks.size());
    std::vector<std::exception_ptr> failures(checks.size());
    std::atomic<std::size_t> next{0};
    std::mutex doneMutex;
    std::size_t done = 0;
    const auto work = [&] {
        for (std::size_t i = next++; i < checks.size() && !stop.stop_requested(); i = next++) {
            try {
                answers[i] = checks[i]();
            } catch (...) {
                failures[i] = std::current_exception();
            }
            if (progress) {
                const std::lock_guard lock(doneMutex);
                progress(++done, checks.size());
            }
        }
    };
    {
        // One worker is this thread; the others are joined before the answers are read. A thread
        // that cannot be started leaves its share to the workers there are.
        const std::size_t wanted = std::min<std::size_t>(std::max(workers, 1u), checks.size());
        std::vector<std::jthread> helpers;
        helpers.reserve(wanted);
        try {
            while (helpers.size() + 1 < wanted) {
                helpers.emplace_back(work);
            }
        } catch (const std::system_error&) {
        }
        work();
    }
    for (const auto& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
    return answers;
}

unsigned CheckWorkers() {
    const unsigned cores = std::max(std::thread::hardware_concurrency(), 1u);
    return std::min(WorkersAsked().value_or(cores), kMaxWorkers);
}

}  // namespace sspack
