// The transition engine on the simulated machine: the worker, its pacing, the stop requests, the
// flags at each point and the completion handler, checked through what the canvas shows after
// every frame. The canvas is larger than the pictures, so drawing outside them would show.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

#include "common/Flags.h"
#include "common/Random.h"
#include "platform/MessageLoop.h"
#include "platform/Surface.h"
#include "platform/Window.h"
#include "platform/sim/SimSurface.h"
#include "tests/support/SimFixture.h"
#include "tests/unit/TransitionPictures.h"
#include "transitions/StartTransition.h"
#include "transitions/TransThread.h"

namespace {

using testing_support::SamePicture;

constexpr gfx::IntRect kCanvas{0, 0, 40, 30};
constexpr gfx::Color32 kMarker = 0xFF00FF00u;  // the canvas outside the pictures

// What one transition did, as the main thread saw it.
struct Record {
    std::vector<gfx::TBitmap32> frames;  // the canvas after each frame, the final frame last
    std::vector<std::uint64_t> times;
    bool busyInEveryFrame = true;
    bool activeInEveryFrame = true;
    bool handlerRan = false;
    bool handlerOnMainThread = false;
    bool busyInHandler = true;
    bool activeInHandler = true;
    std::size_t framesBeforeHandler = 0;
    std::int32_t effect = -1;  // the worker's effect, read in the handler
};

class TransitionEngine : public testing_support::SimTest {
protected:
    TransitionEngine() {
        plat::Window::Options options;
        options.bounds = kCanvas;
        options.border = plat::BorderStyle::None;
        window_ = plat::Window::Create(options, {});
        surface_ = plat::Surface::Create(*window_, kCanvas);
        ShowOld();
    }

    ~TransitionEngine() override { trans::SetFrameObserver({}); }

    // The canvas shows the old picture in its top-left corner and the marker around it.
    void ShowOld() {
        surface_->Bitmap().SetSize(kCanvas.right, kCanvas.bottom, kMarker);
        surface_->Bitmap().CopyRect({0, 0}, old_, old_.BoundsRect());
        surface_->Changed();
        core::Flags().TransShutdown = false;
    }

    const gfx::TBitmap32& Canvas() { return sim::AsSim(*surface_).Canvas(); }

    // The canvas's part under the pictures, and whether the rest still shows the marker.
    gfx::TBitmap32 PictureArea(const gfx::TBitmap32& canvas) const {
        gfx::TBitmap32 part(old_.Width(), old_.Height());
        part.CopyRect({0, 0}, canvas, part.BoundsRect());
        return part;
    }
    bool MarkerAround(const gfx::TBitmap32& canvas) const {
        for (std::int32_t y = 0; y < canvas.Height(); ++y) {
            for (std::int32_t x = 0; x < canvas.Width(); ++x) {
                if (!old_.BoundsRect().Contains({x, y}) && canvas.Pixel(x, y) != kMarker) {
                    return false;
                }
            }
        }
        return true;
    }

    // Starts a transition and lets the machine run until its completion handler has run. onFrame
    // runs on the main thread after each frame with the number of frames so far.
    Record Run(std::int32_t effect, std::int32_t frameCount, const std::function<void(int)>& onFrame = {}) {
        Record r;
        trans::SetFrameObserver([&] {
            r.frames.push_back(Canvas());
            r.times.push_back(sim::Now());
            r.busyInEveryFrame = r.busyInEveryFrame && core::Flags().TransBusy;
            r.activeInEveryFrame = r.activeInEveryFrame && core::Flags().ActiveTransition != nullptr;
            if (onFrame) {
                onFrame(static_cast<int>(r.frames.size()));
            }
        });
        trans::StartTransition(*surface_, new_, effect, 9, frameCount, false);
        trans::TTransThread* worker = core::Flags().ActiveTransition;
        EXPECT_TRUE(core::Flags().TransBusy);
        EXPECT_NE(worker, nullptr);
        if (worker == nullptr) {
            return r;
        }
        worker->OnTerminate = [&r, worker, main = std::this_thread::get_id()] {
            r.handlerRan = true;
            r.handlerOnMainThread = std::this_thread::get_id() == main;
            r.busyInHandler = core::Flags().TransBusy;
            r.activeInHandler = core::Flags().ActiveTransition != nullptr;
            r.framesBeforeHandler = r.frames.size();
            r.effect = worker->Effect();
        };
        for (int spins = 0; !r.handlerRan && spins < 100000; ++spins) {
            plat::ProcessMessages();
        }
        EXPECT_TRUE(r.handlerRan);
        return r;
    }

    const gfx::TBitmap32 old_ = testing_support::OldPicture(33, 21);
    const gfx::TBitmap32 new_ = testing_support::NewPicture(33, 21);
    std::unique_ptr<plat::Window> window_;
    std::unique_ptr<plat::Surface> surface_;
};

TEST_F(TransitionEngine, EffectZeroCopiesTheImageAtOnceWithoutAWorker) {
    trans::StartTransition(*surface_, new_, 0, 9, 32, false);
    EXPECT_FALSE(core::Flags().TransBusy);
    EXPECT_EQ(core::Flags().ActiveTransition, nullptr);
    EXPECT_EQ(core::Flags().TransFrameCount, 32);
    EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));
    EXPECT_TRUE(MarkerAround(Canvas()));
    EXPECT_EQ(sim::Now(), 0u);
}

TEST_F(TransitionEngine, FramesComeAtTheFrameDelayAndTheHandlerRunsAfterTheFinalFrame) {
    // "Door Open" with N = 4 draws 5 frames 9 ms apart, then the final frame at once.
    const Record r = Run(10, 4);
    EXPECT_EQ(r.times, (std::vector<std::uint64_t>{0, 9, 18, 27, 36, 36}));
    EXPECT_TRUE(r.busyInEveryFrame);
    EXPECT_TRUE(r.activeInEveryFrame);
    EXPECT_TRUE(r.handlerOnMainThread);
    EXPECT_FALSE(r.busyInHandler);
    EXPECT_FALSE(r.activeInHandler);
    EXPECT_EQ(r.framesBeforeHandler, r.frames.size());
    EXPECT_FALSE(core::Flags().TransBusy);
    EXPECT_EQ(core::Flags().ActiveTransition, nullptr);

    // The old halves come from the snapshot of the canvas: in frame 1 they are in place, and the
    // folds show the new image over columns 12 to 19.
    gfx::TBitmap32 frame1 = old_;
    frame1.CopyRect({12, 0}, new_, {12, 0, 20, 21});
    EXPECT_TRUE(SamePicture(PictureArea(r.frames[0]), frame1));
    EXPECT_TRUE(SamePicture(PictureArea(r.frames.back()), new_));
    for (const auto& frame : r.frames) {
        EXPECT_TRUE(MarkerAround(frame));
    }
}

TEST_F(TransitionEngine, FamiliesThatPaceThemselvesWaitAfterTheirLastFrameToo) {
    // "Box Out" with N = 4 on 33 x 21: d = 8, boxes of half-width 8 and 16; the final frame follows
    // the last box by a frame delay.
    Record r = Run(69, 4);
    EXPECT_EQ(r.times, (std::vector<std::uint64_t>{0, 9, 18}));
    EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));

    // "Crossfade" with N = 4: one blend, then the final frame a delay later. With N = 3 the first step
    // (765 div 3 = 255) is already full strength: no blend, the final frame at once.
    ShowOld();
    std::uint64_t start = sim::Now();
    r = Run(115, 4);
    EXPECT_EQ(r.times, (std::vector<std::uint64_t>{start, start + 9}));
    ShowOld();
    start = sim::Now();
    r = Run(115, 3);
    EXPECT_EQ(r.times, (std::vector<std::uint64_t>{start}));
    EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));

    // A stop request still ends the loop right after the frame.
    ShowOld();
    start = sim::Now();
    r = Run(71, 32, [](int frame) { core::Flags().TransCancel = frame == 2 || core::Flags().TransCancel; });
    EXPECT_EQ(r.times, (std::vector<std::uint64_t>{start, start + 9, start + 9}));
}

TEST_F(TransitionEngine, NumbersOutsideTheCatalogueDrawARandomEffectFromAFreshSeed) {
    Machine().seed = 0x5EED;
    for (const std::int32_t effect : {-1, 121, 255}) {
        SCOPED_TRACE(effect);
        ShowOld();
        // Each start re-seeds from the clock, which has moved on since the last run.
        core::SetRandSeed(Machine().seed + static_cast<std::uint32_t>(sim::Now()));
        const std::int32_t expected = core::Random(120) + 1;
        const Record r = Run(effect, 8);
        EXPECT_EQ(r.effect, expected);
        EXPECT_GE(r.effect, 1);
        EXPECT_LE(r.effect, 120);
        EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));
    }
}

TEST_F(TransitionEngine, AStopRequestEndsTheLoopAfterTheCurrentFrameWithTheWholeNewImage) {
    // Abort asked for right after frame 3: the final frame follows at once.
    Record r = Run(23, 32, [](int frame) { core::Flags().TransAbort = frame == 3 || core::Flags().TransAbort; });
    EXPECT_EQ(r.times, (std::vector<std::uint64_t>{0, 9, 18, 18}));
    EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));

    // Cancel asked for while the worker waits out the delay: the wait ends within a millisecond,
    // the frame that follows is drawn, then the final frame.
    ShowOld();
    const std::uint64_t start = sim::Now();
    sim::At(start + 22, [] { core::Flags().TransCancel = true; });
    r = Run(23, 32);
    std::vector<std::uint64_t> times;
    for (const std::uint64_t t : r.times) {
        times.push_back(t - start);
    }
    EXPECT_EQ(times, (std::vector<std::uint64_t>{0, 9, 18, 22, 22}));
    EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));
    EXPECT_TRUE(r.handlerRan);
}

TEST_F(TransitionEngine, AtShutdownThereIsNoFinalFrameButTheHandlerStillRuns) {
    const Record r = Run(23, 32, [](int frame) {
        if (frame == 3) {
            core::Flags().TransShutdown = true;
            core::Flags().TransAbort = true;
        }
    });
    EXPECT_EQ(r.frames.size(), 3u);
    EXPECT_TRUE(SamePicture(Canvas(), r.frames.back()));
    EXPECT_FALSE(SamePicture(PictureArea(Canvas()), new_));
    EXPECT_TRUE(r.handlerRan);
    EXPECT_FALSE(r.busyInHandler);
}

TEST_F(TransitionEngine, EveryEffectEndsOnTheWholeNewImageUnlessTheSaverShutsDown) {
    enum class Stop { None, Abort, Cancel, Shutdown };
    for (std::int32_t effect = 1; effect <= 120; ++effect) {
        for (const Stop stop : {Stop::None, Stop::Abort, Stop::Cancel, Stop::Shutdown}) {
            SCOPED_TRACE(::testing::Message() << "effect " << effect << ", stop " << static_cast<int>(stop));
            ShowOld();
            const Record r = Run(effect, 8, [stop](int frame) {
                if (frame != 2) {
                    return;
                }
                core::Flags().TransShutdown = stop == Stop::Shutdown;
                core::Flags().TransAbort = stop == Stop::Abort || stop == Stop::Shutdown;
                core::Flags().TransCancel = stop == Stop::Cancel;
            });
            if (stop == Stop::Shutdown) {
                EXPECT_EQ(r.frames.size(), 2u);
                EXPECT_TRUE(SamePicture(Canvas(), r.frames.back()));
            } else {
                EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));
                if (stop != Stop::None) {
                    EXPECT_EQ(r.frames.size(), 3u);  // two frames, then the final one
                }
            }
            EXPECT_TRUE(MarkerAround(Canvas()));
            EXPECT_TRUE(r.handlerRan);
        }
    }
}

TEST_F(TransitionEngine, FourFramesLastAsLongAsEachEffectsLongestPiece) {
    // Frames of every effect at N = 4 on 33 x 21 (the final frame not counted): staggered slides
    // N + 9 (N div 4), staggered unfolds N + 9 (N div 2), "& Back" lines 2N or 2N + 1, the sweeps
    // 10 S + 1 with S = max(4, N div 3), the downloads 4 S with S = min(N div 4, H div 4); line drops
    // N - 1; the boxes ceil(16 / 8); the ellipses while r <= N / 1.5 or 1.5 N; the triangle regions
    // N + 1, "Triangles" M + 2 with M = 2; random bands d = 4, rectangles ceil(25 / 4), ellipses
    // (d = 21 div 8 = 2) 9 cells one at a time, large ellipses 121 cells cut to N^3 = 64; the spirals
    // 4N + 1 and until the bounds cross; zooms N; fades one blend (d = 191); fade unfolds N or N + 1.
    const std::vector<int> expected = {
        4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 4, 4, 4, 13, 4, 13, 4, 4, 13, 13, 4, 4,           // 1-22
        4, 5, 4, 5, 4, 5, 5, 5, 5, 5, 6, 5, 5, 22, 5, 22, 5, 5, 9, 9, 4,                // 23-43
        4, 8, 8, 8, 9, 9, 8, 5, 8, 9, 9, 8, 5, 8, 8, 8, 8, 41, 41, 4, 4,                // 44-64
        3, 3, 3, 3, 2, 2, 4, 4, 8, 8, 8, 8,                                              // 65-76
        5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 4, 5, 5, 5, 5, 5, 5, 5, 5,                        // 77-95
        4, 4, 7, 9, 64, 17, 16,                                                          // 96-102
        4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 1, 1, 4, 5, 4, 5,                           // 103-120
    };
    std::vector<int> lengths;
    for (std::int32_t effect = 1; effect <= 120; ++effect) {
        ShowOld();
        lengths.push_back(static_cast<int>(Run(effect, 4).frames.size()) - 1);
    }
    EXPECT_EQ(lengths, expected);

    // A frame count below 1 runs as 1.
    ShowOld();
    EXPECT_EQ(Run(5, 0).frames.size(), 2u);
    ShowOld();
    EXPECT_EQ(Run(24, -3).frames.size(), 3u);  // N + 1 steps
    EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));
}

TEST_F(TransitionEngine, AWaitingStartReturnsOnceTheTransitionHasEnded) {
    trans::StartTransition(*surface_, new_, 47, 9, 16, true);
    EXPECT_FALSE(core::Flags().TransBusy);
    EXPECT_EQ(core::Flags().ActiveTransition, nullptr);
    EXPECT_TRUE(SamePicture(PictureArea(Canvas()), new_));
    EXPECT_EQ(sim::Now(), 9u * 31);  // 2N frames
    plat::ProcessMessages();  // the worker frees itself
}

// Every effect on pictures of other sizes, in a canvas with a margin of marker around them: a run
// ends, draws nothing outside the picture and ends on the whole new image. Tiny pictures meet the
// cases that would divide by zero; the large one meets the full size of a screen.
class TransitionSizes : public testing_support::SimTest {
protected:
    // Runs the effect and returns its frames (the final frame not counted), or -1 when the handler
    // never ran.
    int Run(std::int32_t effect, std::int32_t width, std::int32_t height, std::int32_t frameCount) {
        const gfx::IntRect canvas{0, 0, width + kMargin, height + kMargin};
        if (!surface_ || surface_->Bounds() != canvas) {
            plat::Window::Options options;
            options.bounds = canvas;
            options.border = plat::BorderStyle::None;
            surface_.reset();
            window_ = plat::Window::Create(options, {});
            surface_ = plat::Surface::Create(*window_, canvas);
            surface_->Bitmap().SetSize(canvas.right, canvas.bottom);
            old_ = testing_support::OldPicture(width, height);
            new_ = testing_support::NewPicture(width, height);
        }
        surface_->Bitmap().Clear(kMarker);
        surface_->Bitmap().CopyRect({0, 0}, old_, old_.BoundsRect());
        surface_->Changed();
        int frames = 0;
        bool done = false;
        trans::SetFrameObserver([&frames] { ++frames; });
        trans::StartTransition(*surface_, new_, effect, 9, frameCount, false);
        if (trans::TTransThread* worker = core::Flags().ActiveTransition) {
            worker->OnTerminate = [&done] { done = true; };
        }
        for (int spins = 0; !done && spins < 1000000; ++spins) {
            plat::ProcessMessages();
        }
        trans::SetFrameObserver({});
        return done ? frames - 1 : -1;
    }

    // The picture's part of the canvas is the new picture and the margin still shows the marker.
    ::testing::AssertionResult EndsOnTheNewPicture() const {
        const gfx::TBitmap32& canvas = sim::AsSim(*surface_).Canvas();
        for (std::int32_t y = 0; y < canvas.Height(); ++y) {
            const gfx::Color32* row = canvas.Row(y);
            const std::int32_t inside = y < new_.Height() ? new_.Width() : 0;
            if (!std::equal(row, row + inside, new_.Row(std::min(y, new_.Height() - 1)))) {
                gfx::TBitmap32 part(new_.Width(), new_.Height());
                part.CopyRect({0, 0}, canvas, part.BoundsRect());
                return SamePicture(part, new_);
            }
            const auto outside = std::find_if(row + inside, row + canvas.Width(),
                                              [](gfx::Color32 c) { return c != kMarker; });
            if (outside != row + canvas.Width()) {
                return ::testing::AssertionFailure()
                       << "drawn outside the picture at (" << outside - row << "," << y << ")";
            }
        }
        return ::testing::AssertionSuccess();
    }

    static constexpr std::int32_t kMargin = 6;
    gfx::TBitmap32 old_;
    gfx::TBitmap32 new_;
    std::unique_ptr<plat::Window> window_;
    std::unique_ptr<plat::Surface> surface_;
};

TEST_F(TransitionSizes, EveryEffectEndsInsideTinyAndOddPictures) {
    const struct {
        std::int32_t width, height, frames;
    } cases[] = {{1, 1, 4}, {3, 3, 9}, {7, 2, 8}, {2, 9, 12}, {13, 5, 1}};
    for (const auto& c : cases) {
        for (std::int32_t effect = 1; effect <= 120; ++effect) {
            SCOPED_TRACE(::testing::Message() << "effect " << effect << " at " << c.width << "x" << c.height
                                              << ", N = " << c.frames);
            EXPECT_GE(Run(effect, c.width, c.height, c.frames), 0);
            EXPECT_TRUE(EndsOnTheNewPicture());
        }
    }
}

// A full screen in two halves, which the test runner can run side by side.
TEST_F(TransitionSizes, EffectsOneToSixtyEndInsideAFullScreenPicture) {
    for (std::int32_t effect = 1; effect <= 60; ++effect) {
        SCOPED_TRACE(::testing::Message() << "effect " << effect);
        EXPECT_GE(Run(effect, 1920, 1080, 4), 0);
        EXPECT_TRUE(EndsOnTheNewPicture());
    }
}

TEST_F(TransitionSizes, EffectsSixtyOneToOneHundredTwentyEndInsideAFullScreenPicture) {
    for (std::int32_t effect = 61; effect <= 120; ++effect) {
        SCOPED_TRACE(::testing::Message() << "effect " << effect);
        EXPECT_GE(Run(effect, 1920, 1080, 4), 0);
        EXPECT_TRUE(EndsOnTheNewPicture());
    }
}

}  // namespace
