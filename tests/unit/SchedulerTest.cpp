// The simulated machine's time: timers, scheduled input, the quit message, workers taking turns
// with the main thread and Synchronize; and the explored orders, drawn from a seed.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
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

// Explored orders: a worker presenting three frames 9 ms apart, a 10 ms timer, and three keys
// posted at the time of the first tick.
std::vector<std::string> ExploredRun(std::uint64_t seed) {
    sim::Reset();
    sim::ExploreOrders(seed);
    std::vector<std::string> log;
    auto note = [&](const std::string& what) { log.push_back(what + "@" + std::to_string(plat::GetTickCount())); };
    plat::StartWorker(
        [&] {
            for (int frame = 0; frame < 3; ++frame) {
                plat::Synchronize([&, frame] { note("p" + std::to_string(frame)); });
                plat::Sleep(9);
            }
        },
        [&] { note("done"); });
    plat::Timer tick([&] { note("tick"); }, 10, true);
    plat::SetMessageHook([&](plat::Message& msg, bool&) {
        if (msg.message == plat::WM_KEYDOWN) {
            note("k" + std::to_string(msg.wParam));
        }
    });
    sim::At(10, [] {
        for (std::uintptr_t key = 1; key <= 3; ++key) {
            sim::PostMessage({0, plat::WM_KEYDOWN, key, 0});
        }
    });
    sim::SetRunLimit(40);
    plat::RunMessageLoop();
    return log;
}

std::size_t IndexOf(const std::vector<std::string>& log, const std::string& prefix) {
    const auto it = std::find_if(log.begin(), log.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    return static_cast<std::size_t>(it - log.begin());
}

TEST_F(Scheduler, ExploredOrdersKeepEachThreadsOwnOrderVaryTheRestAndReplayBySeed) {
    std::set<std::vector<std::string>> orders;
    bool tickBeforeAHandOver = false;
    bool keyBeforeTheTick = false;
    bool tickBeforeTheKeys = false;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::vector<std::string> log = ExploredRun(seed);
        EXPECT_EQ(ExploredRun(seed), log) << "a seed replays";
        orders.insert(log);
        const std::size_t k1 = IndexOf(log, "k1@"), k2 = IndexOf(log, "k2@"), k3 = IndexOf(log, "k3@");
        const std::size_t p0 = IndexOf(log, "p0@"), p1 = IndexOf(log, "p1@"), p2 = IndexOf(log, "p2@");
        const std::size_t done = IndexOf(log, "done@"), tick = IndexOf(log, "tick@10");
        ASSERT_LT(k3, log.size());
        ASSERT_LT(done, log.size());
        EXPECT_TRUE(k1 < k2 && k2 < k3) << "posted messages keep their order";
        EXPECT_TRUE(p0 < p1 && p1 < p2 && p2 < done) << "a worker's hand-overs keep theirs";
        EXPECT_FALSE(tick > k1 && tick < k3) << "no timer tick while posted messages wait";
        tickBeforeAHandOver |= tick < p1;
        keyBeforeTheTick |= k3 < tick;
        tickBeforeTheKeys |= tick < k1;
    }
    EXPECT_GT(orders.size(), 10u);
    EXPECT_TRUE(tickBeforeAHandOver) << "the tick at 10 before the frame handed over at 9";
    EXPECT_TRUE(keyBeforeTheTick);
    EXPECT_TRUE(tickBeforeTheKeys);
}

TEST_F(Scheduler, InExploredOrdersOneThreadRunsAtATimeAndTimeStandsStillWhileItDoes) {
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        sim::Reset();
        sim::ExploreOrders(seed);
        std::atomic<int> inside{0};
        std::atomic<bool> overlap{false};
        std::atomic<bool> timeMoved{false};
        // A stretch of program code between two calls into the seam.
        auto stretch = [&] {
            if (++inside != 1) {
                overlap = true;
            }
            const std::uint32_t t = plat::GetTickCount();
            std::this_thread::yield();
            if (plat::GetTickCount() != t) {
                timeMoved = true;
            }
            --inside;
        };
        int ended = 0;
        for (int w = 0; w < 2; ++w) {
            plat::StartWorker(
                [&, w] {
                    for (int i = 0; i < 6; ++i) {
                        stretch();
                        plat::Synchronize(stretch);
                        stretch();
                        plat::Sleep(static_cast<std::uint32_t>(3 + w));
                    }
                },
                [&] { ++ended; });
        }
        plat::Timer tick(stretch, 2, true);
        sim::At(5, [&] { plat::PostToMain(stretch); });
        sim::SetRunLimit(60);
        plat::RunMessageLoop();
        EXPECT_FALSE(overlap);
        EXPECT_FALSE(timeMoved);
        EXPECT_EQ(ended, 2);
        EXPECT_EQ(sim::WorkersInBody(), 0);
        sim::Reset();
    }
}

TEST_F(Scheduler, AtTheQuitAWorkerMayStillHandOverFramesWhichAreServedFirst) {
    std::set<int> framesAfterQuit;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        sim::Reset();
        sim::ExploreOrders(seed);
        bool quitPosted = false;
        int frames = 0;
        plat::StartWorker(
            [&] {
                for (int i = 0; i < 10; ++i) {
                    plat::Synchronize([&] { frames += quitPosted ? 1 : 0; });
                    plat::Sleep(5);
                }
            },
            {});
        sim::At(10, [&] {
            quitPosted = true;
            plat::PostQuit(7);
        });
        EXPECT_EQ(plat::RunMessageLoop(), 7);
        framesAfterQuit.insert(frames);
        sim::Reset();  // the worker ends before what it refers to
    }
    EXPECT_TRUE(framesAfterQuit.count(0) && framesAfterQuit.count(1)) << "some seeds serve one more frame, some not";
}

}  // namespace
