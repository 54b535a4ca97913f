#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace plat {

// A timer that fires on the message loop of the main thread. Changing the interval or the enabled
// state starts a fresh period; setting the value it already has changes nothing. An interval of 0
// never fires.
class Timer {
public:
    explicit Timer(std::function<void()> onTimer = {}, std::uint32_t intervalMs = 1000, bool enabled = false);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetOnTimer(std::function<void()> onTimer);
    void SetInterval(std::uint32_t ms);
    std::uint32_t Interval() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace plat
