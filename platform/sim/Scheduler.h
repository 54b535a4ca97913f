#pragma once

// The simulated machine's notion of time and turns. Only one thread runs program code at a time:
// the main thread, or one worker until it blocks in the seam (sleep, Synchronize, its end). Virtual
// time moves only when the main thread has nothing queued and no worker can run, so every run is
// repeatable.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
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

    // Back to time 0 with nothing pending; abandoned workers run on to their end without turns.
    void Reset();

private:
    struct Worker;
    using Entry = std::variant<plat::Message, std::function<void()>>;

    bool HandleOne();  // one queued entry; false when the queue is empty
    void Dispatch(plat::Message& msg);
    bool RunRunnableWorker();
    // Moves time to the next event at or before limit and fires it; false when there is none.
    bool AdvanceTo(std::uint64_t limit, bool workersOnly);
    void ResumeWorker(Worker& w);
    void YieldFromWorker(Worker& w, std::unique_lock<std::mutex>& lock);
    void ReapDone();

    std::uint64_t now_ = 0;
    std::uint64_t runLimit_ = UINT64_MAX;
    std::uint64_t sequence_ = 0;
    std::deque<Entry> queue_;
    std::multimap<std::pair<std::uint64_t, std::uint64_t>, std::function<void()>> actions_;
    std::vector<TimerState*> timers_;
    plat::MessageHook hook_;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    bool terminated_ = false;

    std::mutex mutex_;
    std::condition_variable turnChanged_;
    Worker* turn_ = nullptr;  // null: the main thread's turn
    std::vector<std::unique_ptr<Worker>> workers_;
    bool abandoning_ = false;
};

// Sends a message to the simulated window it is addressed to (window procedures live in SimWindow).
void DispatchToWindow(plat::Message& msg);

}  // namespace sim
