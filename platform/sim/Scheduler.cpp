#include "platform/sim/Scheduler.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/Boundary.h"
#include "platform/WinConst.h"

namespace sim {

struct Scheduler::Worker {
    enum class State { Runnable, Sleeping, Syncing, Done };
    State state = State::Runnable;
    std::uint64_t wake = 0;
    std::uint64_t ownClock = 0;  // time of a worker that runs on after a reset
    bool bodyDone = false;
    std::exception_ptr syncError;
    std::thread thread;
};

namespace {

thread_local void* t_worker = nullptr;

// Counts a loop of the main thread while it runs.
class Depth {
public:
    explicit Depth(int& depth) : depth_(++depth) {}
    ~Depth() { --depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

private:
    int& depth_;
};

}  // namespace

Scheduler& Scheduler::Get() {
    static Scheduler scheduler;
    return scheduler;
}

bool Scheduler::OnWorker() const { return t_worker != nullptr; }

void Scheduler::Post(const plat::Message& msg) { queue_.push_back({msg, nullptr}); }

void Scheduler::PostCall(std::function<void()> fn) { queue_.push_back({std::move(fn), nullptr}); }

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
    Handle(0);
    return true;
}

void Scheduler::Handle(std::size_t index) {
    Entry entry = std::move(queue_[index].entry);
    queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(index));
    if (auto* msg = std::get_if<plat::Message>(&entry)) {
        Dispatch(*msg);
    } else {
        plat::AtBoundary("posted call", std::get<std::function<void()>>(entry));
    }
}

void Scheduler::Dispatch(plat::Message& msg) {
    bool handled = false;
    if (hook_) {
        // A copy, so that the hook may replace itself while it runs.
        auto hook = hook_;
        plat::AtBoundary("message hook", [&] { hook(msg, handled); });
    }
    if (!handled) {
        DispatchToWindow(msg);
    }
}

void Scheduler::Observe() {
    if (observer_) {
        observer_();
    }
}

int Scheduler::Run() {
    const Depth depth(runDepth_);
    if (exploring_) {
        return RunExplored();
    }
    for (;;) {
        if (HandleOne()) {
            Observe();
            continue;
        }
        if (quitPosted_) {
            terminated_ = true;
            return quitCode_;
        }
        if (RunRunnableWorker()) {
            Observe();
            continue;
        }
        if (!AdvanceTo(runLimit_, false)) {
            return -1;
        }
    }
}

void Scheduler::RunUntil(const std::function<bool()>& done) {
    const Depth depth(nestedDepth_);
    while (!done() && !quitPosted_) {
        if (exploring_) {
            if (!ExploreStep(runLimit_)) {
                return;
            }
            continue;
        }
        if (HandleOne() || RunRunnableWorker()) {
            Observe();
            continue;
        }
        if (!AdvanceTo(runLimit_, false)) {
            return;
        }
    }
}

void Scheduler::ProcessMessages() {
    const Depth depth(nestedDepth_);
    bool any = false;
    if (exploring_) {
        // What is waiting now, in a chosen order; time passes only when nothing was.
        while (ExploreStep(now_)) {
            any = true;
        }
        if (!any && !quitPosted_ && MoveClock(runLimit_, false)) {
            while (ExploreStep(now_)) {
            }
        }
        if (quitPosted_) {
            terminated_ = true;
        }
        return;
    }
    for (;;) {
        while (HandleOne()) {
            Observe();
            any = true;
        }
        if (!RunRunnableWorker()) {
            break;
        }
        Observe();
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
    const Depth depth(nestedDepth_);
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

bool Scheduler::MoveClock(std::uint64_t limit, bool workersOnly) {
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
    WakeSleepers();
    return true;
}

bool Scheduler::AdvanceTo(std::uint64_t limit, bool workersOnly) {
    if (!MoveClock(limit, workersOnly)) {
        return false;
    }
    if (workersOnly) {
        return true;
    }
    while (!actions_.empty() && actions_.begin()->first.first <= now_) {
        auto action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        action();
        Observe();
    }
    // Timers may be added or removed by a timer's own handler: walk a copy, skip the removed.
    const std::vector<TimerState*> timers = timers_;
    for (TimerState* t : timers) {
        if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) {
            continue;
        }
        if (t->enabled && t->interval > 0 && t->due <= now_) {
            FireTimer(t);
            Observe();
        }
    }
    return true;
}

void Scheduler::WakeSleepers() {
    for (const auto& w : workers_) {
        if (w->state == Worker::State::Sleeping && w->wake <= now_) {
            w->state = Worker::State::Runnable;
        }
    }
}

void Scheduler::FireTimer(TimerState* timer) {
    // One tick however late it comes, and the next period counts from now, as WM_TIMER does.
    timer->due = now_ + timer->interval;
    plat::Message msg{0, plat::WM_TIMER, reinterpret_cast<std::uintptr_t>(timer), 0};
    bool handled = false;
    if (hook_) {
        auto hook = hook_;
        plat::AtBoundary("message hook", [&] { hook(msg, handled); });
    }
    if (!handled && timer->onTimer) {
        plat::AtBoundary("timer", timer->onTimer);
    }
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
        {
            std::unique_lock lock(mutex_);
            w->bodyDone = true;
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
    queue_.push_back({std::function<void()>([w, &step] {
                          try {
                              step();
                          } catch (...) {
                              w->syncError = std::current_exception();
                          }
                          w->state = Worker::State::Runnable;
                      }),
                      w});
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
    const std::uint64_t wake = now_ + ms;
    if (NothingBefore(*w, wake)) {
        // The main thread would only move the clock and give the turn back: the same run, without
        // the two thread switches (a frame's pacing sleeps a millisecond at a time).
        now_ = wake;
        return;
    }
    w->state = Worker::State::Sleeping;
    w->wake = wake;
    YieldFromWorker(*w, lock);
}

bool Scheduler::NothingBefore(const Worker& w, std::uint64_t wake) const {
    if (runDepth_ == 0 || nestedDepth_ > 0 || quitPosted_ || !queue_.empty() || wake > runLimit_) {
        return false;
    }
    for (const auto& other : workers_) {
        if (other.get() != &w && (other->state == Worker::State::Runnable ||
                                  (other->state == Worker::State::Sleeping && other->wake <= wake))) {
            return false;
        }
    }
    if (!actions_.empty() && actions_.begin()->first.first <= wake) {
        return false;
    }
    return std::none_of(timers_.begin(), timers_.end(), [wake](const TimerState* t) {
        return t->enabled && t->interval > 0 && t->due <= wake;
    });
}

std::uint64_t Scheduler::TickNow() const {
    auto* w = static_cast<Worker*>(t_worker);
    if (w != nullptr && abandoning_) {
        return w->ownClock;
    }
    return now_;
}

void Scheduler::Explore(std::uint64_t seed) {
    exploring_ = true;
    rng_.seed(seed);
}

int Scheduler::WorkersInBody() {
    std::unique_lock lock(mutex_);
    return static_cast<int>(
        std::count_if(workers_.begin(), workers_.end(), [](const auto& w) { return !w->bodyDone; }));
}

// One of the things that could come next in explored order.
struct Scheduler::Choice {
    enum class Kind { Entry, Worker, Action, Timer, Pause };
    Kind kind = Kind::Pause;
    std::size_t index = 0;  // of the queued entry
    Worker* worker = nullptr;
    TimerState* timer = nullptr;
};

int Scheduler::RunExplored() {
    for (;;) {
        if (quitPosted_ && queue_.empty()) {
            if (QuitNow()) {
                terminated_ = true;
                return quitCode_;
            }
            if (!AnyRunnable()) {
                continue;  // time passed, and perhaps no worker woke yet
            }
        }
        if (!ExploreStep(runLimit_)) {
            return -1;
        }
    }
}

bool Scheduler::QuitNow() {
    // A worker that runs meanwhile, or wakes while the main thread is still busy closing, may get
    // as far as its next hand-over, which is served before the quit.
    const bool runnable = AnyRunnable();
    const bool waking = now_ < runLimit_ && std::any_of(workers_.begin(), workers_.end(), [this](const auto& w) {
                            return w->state == Worker::State::Sleeping && w->wake <= now_ + 2;
                        });
    if ((!runnable && !waking) || Pick(2) == 0) {
        return true;
    }
    if (!runnable) {
        // Time passes for the workers alone: no timer or input comes after the quit.
        now_ = std::min(runLimit_, now_ + 1 + Pick(2));
        WakeSleepers();
    }
    return false;
}

bool Scheduler::AnyRunnable() const {
    return std::any_of(workers_.begin(), workers_.end(),
                       [](const auto& w) { return w->state == Worker::State::Runnable; });
}

bool Scheduler::ExploreStep(std::uint64_t limit) {
    const bool closing = quitPosted_;
    for (;;) {
        bool mayPause = false;
        const std::vector<Choice> choices = Choices(closing, limit, mayPause);
        if (choices.empty() && !mayPause) {
            if (closing || !MoveClock(limit, false)) {
                return false;
            }
            continue;
        }
        Take(mayPause && (choices.empty() || Pick(4) == 0) ? Choice{} : choices[Pick(choices.size())], limit);
        Observe();
        return true;
    }
}

std::vector<Scheduler::Choice> Scheduler::Choices(bool closing, std::uint64_t limit, bool& mayPause) const {
    std::vector<Choice> choices;
    // The main thread's own messages keep their order; each worker's hand-over may come before or
    // after them.
    bool posted = false;
    bool handOver = false;
    std::vector<const Worker*> origins;
    for (std::size_t i = 0; i < queue_.size(); ++i) {
        const Worker* origin = queue_[i].origin;
        if (std::find(origins.begin(), origins.end(), origin) == origins.end()) {
            origins.push_back(origin);
            choices.push_back({Choice::Kind::Entry, i});
            (origin == nullptr ? posted : handOver) = true;
        }
    }
    bool runnable = false;
    for (const auto& w : workers_) {
        if (w->state == Worker::State::Runnable) {
            choices.push_back({Choice::Kind::Worker, 0, w.get()});
            runnable = true;
        }
    }
    if (!closing) {
        if (!actions_.empty() && actions_.begin()->first.first <= now_) {
            choices.push_back({Choice::Kind::Action});
        }
        // WM_TIMER comes only when nothing is posted, but a worker's hand-over may wait for it.
        for (TimerState* t : timers_) {
            if (!posted && t->enabled && t->interval > 0 && t->due <= now_) {
                choices.push_back({Choice::Kind::Timer, 0, nullptr, t});
            }
        }
    }
    // A hand-over may be served a little later, while every worker waits in the seam.
    mayPause = !closing && handOver && !runnable && now_ < limit;
    return choices;
}

void Scheduler::Take(const Choice& choice, std::uint64_t limit) {
    switch (choice.kind) {
        case Choice::Kind::Entry:
            Handle(choice.index);
            break;
        case Choice::Kind::Worker:
            ResumeWorker(*choice.worker);
            ReapDone();
            break;
        case Choice::Kind::Action: {
            auto action = std::move(actions_.begin()->second);
            actions_.erase(actions_.begin());
            action();
            break;
        }
        case Choice::Kind::Timer:
            FireTimer(choice.timer);
            break;
        case Choice::Kind::Pause:
            now_ = std::min(limit, now_ + 1 + Pick(2));
            WakeSleepers();
            break;
    }
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
    exploring_ = false;
    observer_ = {};
}

}  // namespace sim
