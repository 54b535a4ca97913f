#include "platform/MessageLoop.h"
#include "platform/Timer.h"
#include "platform/Worker.h"
#include "platform/sim/Scheduler.h"

namespace plat {

void SetMessageHook(MessageHook hook) { sim::Scheduler::Get().SetHook(std::move(hook)); }

int RunMessageLoop() { return sim::Scheduler::Get().Run(); }

void PostQuit(int exitCode) { sim::Scheduler::Get().PostQuit(exitCode); }

bool Terminated() { return sim::Scheduler::Get().Terminated(); }

void ProcessMessages() { sim::Scheduler::Get().ProcessMessages(); }

void RunModalLoop(const std::function<bool()>& done) { sim::Scheduler::Get().RunUntil(done); }

void Synchronize(const std::function<void()>& step) { sim::Scheduler::Get().Synchronize(step); }

void PostToMain(std::function<void()> fn) { sim::Scheduler::Get().PostCall(std::move(fn)); }

void StartWorker(std::function<void()> body, std::function<void()> onDone) {
    sim::Scheduler::Get().StartWorker(std::move(body), std::move(onDone));
}

struct Timer::Impl : sim::TimerState {};

Timer::Timer(std::function<void()> onTimer, std::uint32_t intervalMs, bool enabled) : impl_(std::make_unique<Impl>()) {
    impl_->onTimer = std::move(onTimer);
    impl_->interval = intervalMs;
    impl_->enabled = enabled;
    sim::Scheduler::Get().AddTimer(impl_.get());
    sim::Scheduler::Get().RestartTimer(impl_.get());
}

Timer::~Timer() { sim::Scheduler::Get().RemoveTimer(impl_.get()); }

void Timer::SetOnTimer(std::function<void()> onTimer) { impl_->onTimer = std::move(onTimer); }

void Timer::SetInterval(std::uint32_t ms) {
    if (ms != impl_->interval) {
        impl_->interval = ms;
        sim::Scheduler::Get().RestartTimer(impl_.get());
    }
}

std::uint32_t Timer::Interval() const { return impl_->interval; }

void Timer::SetEnabled(bool enabled) {
    if (enabled != impl_->enabled) {
        impl_->enabled = enabled;
        sim::Scheduler::Get().RestartTimer(impl_.get());
    }
}

bool Timer::Enabled() const { return impl_->enabled; }

}  // namespace plat
