// Memory on 3840 x 2160 screens: how many full-screen bitmaps are alive from the moment one item
// is on the screen until the transition to the next has ended. This program's operator new counts
// every block of at least one screen's bytes, so whatever holds a screen's pixels is counted,
// whoever owns it. The pictures are small: their decoded pixels are not such blocks.

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "common/Flags.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

// The sanitizers bring their own operator new; under them the count is not taken.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SAVER_OWN_ALLOCATOR 0
#endif
#endif
#ifndef SAVER_OWN_ALLOCATOR
#define SAVER_OWN_ALLOCATOR 1
#endif

namespace {

constexpr std::int32_t kWidth = 3840;
constexpr std::int32_t kHeight = 2160;
constexpr std::size_t kScreenBytes = std::size_t{kWidth} * kHeight * 4;

std::atomic<int> g_live{0};
std::atomic<int> g_peak{0};

// Counted by the block's usable size on both sides, so that allocation and release always agree.
[[maybe_unused]] bool Large(void* p) { return p != nullptr && malloc_usable_size(p) >= kScreenBytes; }

[[maybe_unused]] void* Allocate(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (Large(p)) {
        const int live = ++g_live;
        int peak = g_peak.load();
        while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
        }
    }
    return p;
}

[[maybe_unused]] void Release(void* p) {
    if (Large(p)) {
        --g_live;
    }
    std::free(p);
}

}  // namespace

#if SAVER_OWN_ALLOCATOR
void* operator new(std::size_t n) {
    if (void* p = Allocate(n)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
#endif

namespace {

using testing_support::Json;

class ScreenMemory : public testing_support::SaverRunTest {
protected:
    // Two small pictures stretched over the screen, changing through "Crossfade": the first comes at
    // once, the second through the transition, which is cut short after a few frames. The first
    // is a PNG picture, or an animated GIF that plays until the second comes.
    int PeakDuringTransition(int monitors, const std::string& first = "a.png") {
        if (!SAVER_OWN_ALLOCATOR) {
            return 0;
        }
        Machine().monitors = {{0, 0, kWidth, kHeight}};
        if (monitors == 2) {
            Machine().monitors.push_back({kWidth, 0, 2 * kWidth, kHeight});
        } else if (monitors == 3) {
            // A portrait monitor left of the primary and a wider one to its right: every bitmap of
            // theirs is at least one primary screen's bytes, so each is counted.
            Machine().monitors.push_back({-kHeight, 0, 0, kWidth});
            Machine().monitors.push_back({kWidth, 0, kWidth + 4096, kHeight});
        }
        Put("a.png", testing_support::EncodePng(gfx::TBitmap32(320, 200, 0xFFE03030)));
        Put("a.gif", testing_support::EncodeGif(TwoFrames()));
        Put("b.png", testing_support::EncodePng(gfx::TBitmap32(320, 200, 0xFF3050E0)));
        const Json manifest = {
            {"header", {{"Seconds", 1}, {"Stretch", 4}, {"EffectSpeed", 10}, {"ExitESC", true}}},
            {"strings", {{"SaverName", "Memory"}, {"Effect", {115}}}},
            {"items", {{{"file", first}}, {{"file", "b.png"}}}},
        };
        int peak = -1;
        core::SetTraceSink([&](std::string_view text) {
            trace.emplace_back(text);
            if (text == "Item 0 shown") {
                g_peak = g_live.load();
                // A few frames into the transition that follows at 1000 ms, it is told to stop.
                sim::At(1100, [] { core::Flags().TransCancel = true; });
            } else if (text == "Restart Timer" && peak < 0) {
                peak = g_peak.load();
            }
        });
        Run(Build(manifest), {"/s"}, 1500);
        EXPECT_TRUE(Traced("Effect 115"));
        EXPECT_TRUE(Traced("Item 1 shown"));
        return peak;
    }

    // Full-screen bitmaps alive between the first transition's end and the next tick, when the next
    // item is prepared ahead or not.
    int LiveWhileTheNextItemWaits(bool preparing) {
        if (!SAVER_OWN_ALLOCATOR) {
            return 0;
        }
        Machine().monitors = {{0, 0, kWidth, kHeight}};
        Put("a.png", testing_support::EncodePng(gfx::TBitmap32(320, 200, 0xFFE03030)));
        Put("b.png", testing_support::EncodePng(gfx::TBitmap32(320, 200, 0xFF3050E0)));
        const Json manifest = {
            {"header", {{"Seconds", 3}, {"Stretch", 4}, {"EffectSpeed", 10}, {"ExitESC", true}}},
            {"strings", {{"SaverName", "Memory"}, {"Effect", {115}}}},
            {"items", {{{"file", "a.png"}}, {{"file", "b.png"}}}},
        };
        int live = -1;
        host::TSSWindow* window = nullptr;
        core::SetTraceSink([&](std::string_view text) {
            trace.emplace_back(text);
            if (text == "Restart Timer" && live < 0) {
                sim::At(sim::Now() + 300, [&] {
                    live = g_live.load();
                    EXPECT_EQ(window->Preparer().Ready(), preparing);
                });
            }
        });
        Run(Build(manifest), {"/s"}, 5900, [&](host::TSSWindow& w) {
            window = &w;
            w.Loader()->Preparing = preparing;
        });
        return live;
    }

    // 320 x 200, red then green, a tenth of a second each, for ever.
    static testing_support::GifLayout TwoFrames() {
        return testing_support::SolidFramesGif(320, 200, {0xFFE03030, 0xFF30E030}, 10);
    }

    void StartOver() {
        sim::Reset();
        Machine().tempPath = Temp();
        trace.clear();
    }
};

TEST_F(ScreenMemory, ATransitionHoldsAtMostSixFullScreenBitmapsOnOneMonitorAndEightOnTwo) {
    if (!SAVER_OWN_ALLOCATOR) {
        GTEST_SKIP() << "the sanitizers count the memory themselves";
    }
    const int one = PeakDuringTransition(1);
    RecordProperty("one_monitor", one);
    EXPECT_GT(one, 0);
    EXPECT_LE(one, 6);

    StartOver();
    const int two = PeakDuringTransition(2);
    RecordProperty("two_monitors", two);
    EXPECT_LE(two, 8);
    EXPECT_GT(two, one);
}

TEST_F(ScreenMemory, ThreeUnequalMonitorsHoldTwoFullScreenBitmapsEachBesidesTheFour) {
    if (!SAVER_OWN_ALLOCATOR) {
        GTEST_SKIP() << "the sanitizers count the memory themselves";
    }
    const int three = PeakDuringTransition(3);
    RecordProperty("three_monitors", three);
    EXPECT_GT(three, 8);
    EXPECT_LE(three, 4 + 2 * 3);
}

TEST_F(ScreenMemory, ANextItemPreparedAheadHoldsOneFullScreenBitmapMore) {
    if (!SAVER_OWN_ALLOCATOR) {
        GTEST_SKIP() << "the sanitizers count the memory themselves";
    }
    const int atTick = LiveWhileTheNextItemWaits(false);
    StartOver();
    const int ahead = LiveWhileTheNextItemWaits(true);
    RecordProperty("waiting_at_tick", atTick);
    RecordProperty("waiting_prepared", ahead);
    EXPECT_GT(atTick, 0);
    EXPECT_EQ(ahead, atTick + 1) << "the prepared frame, and nothing else of a screen's size";
}

TEST_F(ScreenMemory, AnAnimatedGifLetsItsBitmapsGoWhenAStillPictureFollows) {
    if (!SAVER_OWN_ALLOCATOR) {
        GTEST_SKIP() << "the sanitizers count the memory themselves";
    }
    const int one = PeakDuringTransition(1, "a.gif");
    RecordProperty("one_monitor_after_gif", one);
    EXPECT_GT(one, 0);
    EXPECT_LE(one, 6);

    StartOver();
    const int two = PeakDuringTransition(2, "a.gif");
    RecordProperty("two_monitors_after_gif", two);
    EXPECT_GT(two, one);
    EXPECT_LE(two, 8);
}

}  // namespace
