#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

namespace maker {

// Brings the checks' counts, told on whichever thread finished a check, to the job's own thread,
// the only one that may hand them to the main thread. A checking thread waits until its count has
// been handed over, so that the window shows what has been checked and a cancel made there stops
// the very next check.
class TCheckRelay {
public:
    using Hand = std::function<void(std::size_t done, std::size_t total)>;

    // Runs `checks` on a thread of its own, which tells its counts through Tell, and hands each
    // count on from this thread meanwhile; what `checks` throws is thrown on here once it ends.
    // `hand` must not throw, or a checking thread would wait for ever.
    static void Run(const std::function<void(TCheckRelay&)>& checks, const Hand& hand);

    // On a checking thread; the counts come one at a time, each one more than the last.
    void Tell(std::size_t done, std::size_t total);

private:
    void Finish();
    void HandOver(const Hand& hand);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t told_ = 0;
    std::size_t total_ = 0;
    std::size_t handed_ = 0;
    bool finished_ = false;
};

}  // namespace maker
