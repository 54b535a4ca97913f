#pragma once

// The simulated machine's notion of time and turns. Only one thread runs program code at a time:
// the main thread, or one worker until it blocks in the seam (sleep, Synchronize, its end). Virtual
// time moves only when the main thread has nothing queued and no worker can run, so every run is
// repeatable.
//
// In explored order the same rules hold, but wherever real Windows could take the next things in
// more than one order (a queued message or a worker's hand-over, a worker that could run, a timer
// or an input now due, a little time passing before a hand-over is served), a generator of its
// own seed chooses; a run is then a pure function of its input and that seed.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <variant>
#include <vector>

#include "platform/MessageLoop.h"

namespace sim {

struct TimerState {
    std::function<void()> onTimer;
    std::uint32_t interval = 1000;
    bool enabled = false;
    std::uint64_t due = 0;
};

class Scheduler {
public:
    static Scheduler& Get();

    // Main thread.
    std::uint64_t Now() const { return now_; }
    // The time as the calling thread sees it.
    std::uint64_t TickNow() const;
    void Post(const plat::Message& msg);
    void PostCall(std::function<void()> fn);
    void At(std::uint64_t time, std::function<void()> action);
    void SetRunLimit(std::uint64_t time) { runLimit_ = time; }
    void SetHook(plat::MessageHook hook) { hook_ = std::move(hook); }
    int Run();
    // A nested loop: until done() is true, the quit message is posted (it stays for the outer
    // loop) or nothing more can happen.
    void RunUntil(const std::function<bool()>& done);
    void PostQuit(int code);
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    void Sleep(std::uint32_t ms);

    void AddTimer(TimerState* timer);
    void RemoveTimer(TimerState* timer);
    void RestartTimer(TimerState* timer);

    // Any thread: workers.
    void StartWorker(std::function<void()> body, std::function<void()> onDone);
    void Synchronize(const std::function<void()>& step);
    bool OnWorker() const;
    void WorkerSleep(std::uint32_t ms);

    // From now until Reset, the choices real Windows leaves open are drawn from seed.
    void Explore(std::uint64_t seed);
    // Runs on the main thread after every step of a loop: a queued entry, a timer, an action, a
    // worker's turn.
    void SetStepObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    // Workers whose body has not returned yet (their completion step may still be to come).
    int WorkersInBody();

    // Back to time 0 with nothing pending; abandoned workers run on to their end without turns.
    void Reset();

private:
    struct Worker;
    using Entry = std::variant<plat::Message, std::function<void()>>;
    // A queued entry and the worker whose hand-over it is (none: posted on the main thread).
    struct Queued {
        Entry entry;
        Worker* origin = nullptr;
    };

    bool HandleOne();  // one queued entry; false when the queue is empty
    void Handle(std::size_t index);
    void Dispatch(plat::Message& msg);
    void FireTimer(TimerState* timer);
    bool RunRunnableWorker();
    // Moves time to the next event at or before limit and fires it; false when there is none.
    bool AdvanceTo(std::uint64_t limit, bool workersOnly);
    // Moves time to the next event at or before limit (of the workers alone, or of everything)
    // without taking it, waking the sleepers due; false when there is none.
    bool MoveClock(std::uint64_t limit, bool workersOnly);
    void WakeSleepers();
    void Observe();

    // Explored order. One step chosen among what could come next, with time kept at or before
    // limit; false when nothing can happen by then. Once the quit message is posted only the queue
    // and the workers go on.
    struct Choice;
    int RunExplored();
    // With the quit message posted and nothing queued: whether the loop takes it now.
    bool QuitNow();
    bool AnyRunnable() const;
    bool ExploreStep(std::uint64_t limit);
    std::vector<Choice> Choices(bool closing, std::uint64_t limit, bool& mayPause) const;
    void Take(const Choice& choice, std::uint64_t limit);
    // One of n; a single choice draws nothing.
    std::size_t Pick(std::size_t n) { return n > 1 ? static_cast<std::size_t>(rng_() % n) : 0; }
    // True when a worker going to sleep until wake would be woken next with nothing else to come
    // first: the main thread waits in its outermost loop with nothing queued, no other worker
    // could run by then, and no timer or action is due by then.
    bool NothingBefore(const Worker& w, std::uint64_t wake) const;
    void ResumeWorker(Worker& w);
    void YieldFromWorker(Worker& w, std::unique_lock<std::mutex>& lock);
    void ReapDone();

    std::uint64_t now_ = 0;
    std::uint64_t runLimit_ = UINT64_MAX;
    std::uint64_t sequence_ = 0;
    std::deque<Queued> queue_;
    std::multimap<std::pair<std::uint64_t, std::uint64_t>, std::function<void()>> actions_;
    std::vector<TimerState*> timers_;
    plat::MessageHook hook_;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    bool terminated_ = false;
    bool exploring_ = false;
    int runDepth_ = 0;     // Run on the main thread's stack
    int nestedDepth_ = 0;  // a nested loop or a sleep of the main thread within it
    std::mt19937_64 rng_;
    std::function<void()> observer_;

    std::mutex mutex_;
    std::condition_variable turnChanged_;
    Worker* turn_ = nullptr;  // null: the main thread's turn
    std::vector<std::unique_ptr<Worker>> workers_;
    bool abandoning_ = false;
};

// Sends a message to the simulated window it is addressed to (window procedures live in SimWindow).
void DispatchToWindow(plat::Message& msg);

}  // namespace sim
