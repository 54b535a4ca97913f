#include "platform/sim/Scheduler.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/WinConst.h"

namespace sim {

struct Scheduler::Worker {
    enum class State { Runnable, Sleeping, Syncing, Done };
    State state = State::Runnable;
    std::uint64_t wake = 0;
    std::uint64_t ownClock = 0;  // time of a worker that runs on after a reset
    std::exception_ptr syncError;
    std::thread thread;
};

namespace {
thread_local void* t_worker = nullptr;
}

Scheduler& Scheduler::Get() {
    static Scheduler scheduler;
    return scheduler;
}

bool Scheduler::OnWorker() const { return t_worker != nullptr; }

void Scheduler::Post(const plat::Message& msg) { queue_.emplace_back(msg); }

void Scheduler::PostCall(std::function<void()> fn) { queue_.emplace_back(std::move(fn)); }

void Scheduler::At(std::uint64_t time, std::function<void()> action) {
    actions_.emplace(std::make_pair(time, sequence_++), std::move(action));
}

void Scheduler::PostQuit(int code) {
    quitPosted_ = true;
    quitCode_ = code;
}

void Scheduler::AddTimer(TimerState* timer) { timers_.push_back(timer); }

void Scheduler::RemoveTimer(TimerState* timer) { std::erase(timers_, timer); }

void Scheduler::RestartTimer(TimerState* timer) { timer->due = now_ + timer->interval; }

bool Scheduler::HandleOne() {
    if (queue_.empty()) {
        return false;
    }
    Entry entry = std::move(queue_.front());
    queue_.pop_front();
    if (auto* msg = std::get_if<plat::Message>(&entry)) {
        Dispatch(*msg);
    } else {
        std::get<std::function<void()>>(entry)();
    }
    return true;
}

void Scheduler::Dispatch(plat::Message& msg) {
    bool handled = false;
    if (hook_) {
        // A copy, so that the hook may replace itself while it runs.
        auto hook = hook_;
        hook(msg, handled);
    }
    if (!handled) {
        DispatchToWindow(msg);
    }
}

int Scheduler::Run() {
    for (;;) {
        if (HandleOne()) {
            continue;
        }
        if (quitPosted_) {
            terminated_ = true;
            return quitCode_;
        }
        if (RunRunnableWorker()) {
            continue;
        }
        if (!AdvanceTo(runLimit_, false)) {
            return -1;
        }
    }
}

void Scheduler::RunUntil(const std::function<bool()>& done) {
    while (!done() && !quitPosted_) {
        if (HandleOne() || RunRunnableWorker()) {
            continue;
        }
        if (!AdvanceTo(runLimit_, false)) {
            return;
        }
    }
}

void Scheduler::ProcessMessages() {
    bool any = false;
    for (;;) {
        while (HandleOne()) {
            any = true;
        }
        if (!RunRunnableWorker()) {
            break;
        }
        any = true;
    }
    if (quitPosted_) {
        terminated_ = true;
        return;
    }
    // A caller that spins on ProcessMessages waits for something: let time pass as it would.
    if (!any) {
        AdvanceTo(runLimit_, false);
    }
}

void Scheduler::Sleep(std::uint32_t ms) {
    const std::uint64_t target = now_ + ms;
    for (;;) {
        if (RunRunnableWorker()) {
            continue;
        }
        if (!AdvanceTo(target, true)) {
            break;
        }
    }
    now_ = std::max(now_, target);
}

bool Scheduler::AdvanceTo(std::uint64_t limit, bool workersOnly) {
    std::uint64_t next = UINT64_MAX;
    for (const auto& w : workers_) {
        if (w->state == Worker::State::Sleeping) {
            next = std::min(next, w->wake);
        }
    }
    if (!workersOnly) {
        if (!actions_.empty()) {
            next = std::min(next, actions_.begin()->first.first);
        }
        for (const TimerState* t : timers_) {
            if (t->enabled && t->interval > 0) {
                next = std::min(next, t->due);
            }
        }
    }
    if (next == UINT64_MAX || next > limit) {
        if (limit != UINT64_MAX) {
            now_ = std::max(now_, limit);
        }
        return false;
    }
    now_ = std::max(now_, next);

    for (const auto& w : workers_) {
        if (w->state == Worker::State::Sleeping && w->wake <= now_) {
            w->state = Worker::State::Runnable;
        }
    }
    if (workersOnly) {
        return true;
    }
    while (!actions_.empty() && actions_.begin()->first.first <= now_) {
        auto action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        action();
    }
    // Timers may be added or removed by a timer's own handler: walk a copy, skip the removed.
    const std::vector<TimerState*> timers = timers_;
    for (TimerState* t : timers) {
        if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) {
            continue;
        }
        if (t->enabled && t->interval > 0 && t->due <= now_) {
            t->due = now_ + t->interval;
            plat::Message msg{0, plat::WM_TIMER, reinterpret_cast<std::uintptr_t>(t), 0};
            bool handled = false;
            if (hook_) {
                auto hook = hook_;
                hook(msg, handled);
            }
            if (!handled && t->onTimer) {
                t->onTimer();
            }
        }
    }
    return true;
}

bool Scheduler::RunRunnableWorker() {
    for (const auto& w : workers_) {
        if (w->state == Worker::State::Runnable) {
            ResumeWorker(*w);
            ReapDone();
            return true;
        }
    }
    return false;
}

void Scheduler::ResumeWorker(Worker& w) {
    std::unique_lock lock(mutex_);
    turn_ = &w;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return turn_ == nullptr; });
}

void Scheduler::YieldFromWorker(Worker& w, std::unique_lock<std::mutex>& lock) {
    turn_ = nullptr;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this, &w] { return turn_ == &w || abandoning_; });
}

void Scheduler::ReapDone() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if ((*it)->state == Worker::State::Done) {
            (*it)->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void Scheduler::StartWorker(std::function<void()> body, std::function<void()> onDone) {
    auto worker = std::make_unique<Worker>();
    Worker* w = worker.get();
    workers_.push_back(std::move(worker));
    w->thread = std::thread([this, w, body = std::move(body), onDone = std::move(onDone)] {
        t_worker = w;
        {
            std::unique_lock lock(mutex_);
            turnChanged_.wait(lock, [this, w] { return turn_ == w || abandoning_; });
            w->ownClock = now_;
        }
        try {
            body();
        } catch (...) {
        }
        if (onDone) {
            try {
                Synchronize(onDone);
            } catch (...) {
            }
        }
        std::unique_lock lock(mutex_);
        w->state = Worker::State::Done;
        if (turn_ == w) {
            turn_ = nullptr;
        }
        turnChanged_.notify_all();
    });
}

void Scheduler::Synchronize(const std::function<void()>& step) {
    auto* w = static_cast<Worker*>(t_worker);
    if (w == nullptr) {
        step();
        return;
    }
    std::unique_lock lock(mutex_);
    if (abandoning_) {
        return;  // the main thread is gone: nothing may run there any more
    }
    w->state = Worker::State::Syncing;
    queue_.emplace_back(std::function<void()>([w, &step] {
        try {
            step();
        } catch (...) {
            w->syncError = std::current_exception();
        }
        w->state = Worker::State::Runnable;
    }));
    YieldFromWorker(*w, lock);
    if (auto error = std::exchange(w->syncError, nullptr)) {
        std::rethrow_exception(error);
    }
}

void Scheduler::WorkerSleep(std::uint32_t ms) {
    auto* w = static_cast<Worker*>(t_worker);
    std::unique_lock lock(mutex_);
    if (abandoning_) {
        w->ownClock += ms;
        return;
    }
    w->state = Worker::State::Sleeping;
    w->wake = now_ + ms;
    YieldFromWorker(*w, lock);
}

std::uint64_t Scheduler::TickNow() const {
    auto* w = static_cast<Worker*>(t_worker);
    if (w != nullptr && abandoning_) {
        return w->ownClock;
    }
    return now_;
}

void Scheduler::Reset() {
    {
        std::unique_lock lock(mutex_);
        abandoning_ = true;
        for (auto& w : workers_) {
            w->ownClock = now_;
        }
        turnChanged_.notify_all();
    }
    for (auto& w : workers_) {
        w->thread.join();
    }
    workers_.clear();
    abandoning_ = false;
    turn_ = nullptr;
    now_ = 0;
    runLimit_ = UINT64_MAX;
    sequence_ = 0;
    queue_.clear();
    actions_.clear();
    timers_.clear();
    hook_ = {};
    quitPosted_ = false;
    quitCode_ = 0;
    terminated_ = false;
}

}  // namespace sim
