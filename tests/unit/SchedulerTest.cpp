// The simulated machine's time: timers, scheduled input, the quit message, workers taking turns
// with the main thread and Synchronize.

#include <gtest/gtest.h>

#include <vector>

#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"
#include "platform/WinConst.h"
#include "platform/Worker.h"
#include "platform/sim/Sim.h"
#include "tests/support/SimFixture.h"

namespace {

using testing_support::SimTest;

class Scheduler : public SimTest {};

TEST_F(Scheduler, TimersFireInTimeOrderAndRestartOnlyOnChange) {
    std::vector<std::pair<char, std::uint32_t>> fired;
    plat::Timer a([&] { fired.emplace_back('a', plat::GetTickCount()); }, 300, true);
    plat::Timer b([&] { fired.emplace_back('b', plat::GetTickCount()); }, 500, true);
    sim::At(700, [&] {
        a.SetEnabled(true);   // already enabled: the period runs on
        b.SetInterval(500);   // unchanged: the period runs on
    });
    sim::At(1150, [&] { a.SetInterval(100); });
    sim::SetRunLimit(1300);
    EXPECT_EQ(plat::RunMessageLoop(), -1);
    using F = std::vector<std::pair<char, std::uint32_t>>;
    EXPECT_EQ(fired, (F{{'a', 300}, {'b', 500}, {'a', 600}, {'a', 900}, {'b', 1000}, {'a', 1250}}));
    EXPECT_EQ(sim::Now(), 1300u);
}

TEST_F(Scheduler, TheHookSeesQueuedMessagesAndTimerTicksFirst) {
    std::vector<std::uint32_t> seen;
    int ticks = 0;
    plat::Timer timer([&] { ++ticks; }, 100, true);
    plat::SetMessageHook([&](plat::Message& msg, bool& handled) {
        seen.push_back(msg.message);
        handled = msg.message == plat::WM_TIMER && seen.size() > 2;  // swallow later ticks
    });
    sim::At(50, [] { sim::PostMessage({0, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0}); });
    sim::SetRunLimit(350);
    plat::RunMessageLoop();
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{plat::WM_KEYDOWN, plat::WM_TIMER, plat::WM_TIMER, plat::WM_TIMER}));
    EXPECT_EQ(ticks, 1);
}

TEST_F(Scheduler, QuitIsTakenOnceTheQueueIsEmpty) {
    int handled = 0;
    plat::SetMessageHook([&](plat::Message&, bool&) { ++handled; });
    sim::PostMessage({0, plat::WM_KEYDOWN, 0, 0});
    plat::PostQuit(3);
    sim::PostMessage({0, plat::WM_KEYUP, 0, 0});
    EXPECT_FALSE(plat::Terminated());
    EXPECT_EQ(plat::RunMessageLoop(), 3);
    EXPECT_TRUE(plat::Terminated());
    EXPECT_EQ(handled, 2);
}

TEST_F(Scheduler, AWorkerRunsOnlyWhileTheMainThreadWaitsAndTimePassesOnlyInItsSleeps) {
    std::vector<std::string> log;
    auto note = [&](const std::string& what) { log.push_back(what + "@" + std::to_string(plat::GetTickCount())); };
    plat::StartWorker(
        [&] {
            note("start");
            for (int frame = 0; frame < 3; ++frame) {
                plat::Synchronize([&] { note("present" + std::to_string(frame)); });
                plat::Sleep(9);
            }
        },
        [&] { note("done"); });
    note("after start");  // the worker has not run yet: the main thread still has the turn
    plat::Timer tick([&] { note("tick"); }, 10, true);
    sim::SetRunLimit(40);
    plat::RunMessageLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"after start@0", "start@0", "present0@0", "present1@9", "tick@10",
                                             "present2@18", "tick@20", "done@27", "tick@30", "tick@40"}));
}

TEST_F(Scheduler, MainThreadSleepLetsTheWorkerRunButNotTheTimers) {
    std::vector<std::string> log;
    plat::Timer tick([&] { log.push_back("tick"); }, 5, true);
    plat::StartWorker(
        [&] {
            for (int i = 0; i < 3; ++i) {
                log.push_back("w" + std::to_string(plat::GetTickCount()));
                plat::Sleep(20);
            }
        },
        {});
    plat::Sleep(50);
    EXPECT_EQ(plat::GetTickCount(), 50u);
    EXPECT_EQ(log, (std::vector<std::string>{"w0", "w20", "w40"}));
}

TEST_F(Scheduler, ProcessMessagesLetsASpinningWaitGoOn) {
    bool busy = true;
    plat::StartWorker([&] { plat::Sleep(30); }, [&] { busy = false; });
    int spins = 0;
    while (busy && spins < 100) {
        plat::ProcessMessages();
        ++spins;
    }
    EXPECT_FALSE(busy);
    EXPECT_EQ(plat::GetTickCount(), 30u);
}

TEST_F(Scheduler, AResetEndsAWorkerThatIsStillWaiting) {
    bool stepRan = false;
    plat::StartWorker(
        [&] {
            plat::Sleep(1000);
            plat::Synchronize([&] { stepRan = true; });
        },
        {});
    sim::SetRunLimit(10);
    plat::RunMessageLoop();
    sim::Reset();  // joins the worker, which runs on without the main thread
    EXPECT_FALSE(stepRan);
    EXPECT_EQ(sim::Now(), 0u);
}

}  // namespace
