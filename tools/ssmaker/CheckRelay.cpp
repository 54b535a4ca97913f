#include "tools/ssmaker/CheckRelay.h"

#include <exception>
#include <thread>

namespace maker {

void TCheckRelay::Run(const std::function<void(TCheckRelay&)>& checks, const Hand& hand) {
    TCheckRelay relay;
    std::exception_ptr error;
    {
        const std::jthread checking([&] {
            try {
                checks(relay);
            } catch (...) {
                error = std::current_exception();
            }
            relay.Finish();
        });
        relay.HandOver(hand);
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void TCheckRelay::Tell(std::size_t done, std::size_t total) {
    std::unique_lock lock(mutex_);
    told_ = done;
    total_ = total;
    changed_.notify_all();
    changed_.wait(lock, [this, done] { return handed_ >= done; });
}

void TCheckRelay::Finish() {
    const std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

void TCheckRelay::HandOver(const Hand& hand) {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return told_ > handed_ || finished_; });
        if (told_ == handed_) {
            return;
        }
        const std::size_t done = told_;
        const std::size_t total = total_;
        lock.unlock();
        hand(done, total);
        lock.lock();
        handed_ = done;
        changed_.notify_all();
    }
}

}  // namespace maker
