#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "platform/Surface.h"
#include "transitions/Family.h"

namespace trans {

// The transition worker: it owns private copies of the pictures, runs one effect's frames on a
// thread of its own and hands every copy and composition to the main thread, which puts it on the
// target canvas.
// It is freed once its completion handler has run (or, unrun, has been dropped with the worker).
class TTransThread final : private TPresenter {
public:
    // Copies the image, and the target canvas's rectangle (0, 0, width, height) as the old picture.
    TTransThread(std::int32_t effectNumber, plat::Surface& target, const gfx::TBitmap32& image,
                 std::int32_t frameDelay);
    TTransThread(const TTransThread&) = delete;
    TTransThread& operator=(const TTransThread&) = delete;

    // Starts the worker. Called once the worker is the active transition, so that its clean-up
    // always comes after.
    void Start();

    // The completion handler: runs on the main thread after the last frame, once TransBusy is false
    // and ActiveTransition empty. Attaching it right after StartTransition returns is in time.
    std::function<void()> OnTerminate;

    // The effect being drawn; the worker replaces a number outside 0..120 by its random draw first.
    std::int32_t Effect() const { return EffectNumber; }

    // The main-thread steps: PresentSource of one picture onto PresentTarget of the target canvas;
    // or the frame's composition written straight into the canvas, with its changed rectangles put on
    // the screen.
    void PresentNew();
    void PresentOld();
    void PresentComposed();

private:
    ~TTransThread() override = default;

    void Execute();
    void Finish();
    void RunSlides(std::int32_t variant);
    void RunUnfolds(std::int32_t variant);
    void RunLineDrops(std::int32_t variant);
    void RunBoxOut();
    void RunBoxIn();
    void RunEllipses(std::int32_t variant);
    void RunShapes(std::int32_t variant);
    void RunRandomShapes(std::int32_t variant);
    void RunSweeps(std::int32_t variant);
    void RunZooms(std::int32_t variant);
    void RunFades(std::int32_t variant);
    void RunFadeUnfolds(std::int32_t variant);
    // Runs a family's frames, if it has any.
    void Run(std::unique_ptr<TFamily> family);
    // The frame loop shared by every family: one frame, then wait out the frame delay from the
    // frame's start in 1 ms sleeps, on the precise clock, unless a stop is requested or no piece has
    // steps left (the families that pace themselves wait after their last frame too).
    void WaitFrame(TFamily& family);
    // The closing whole new image, followed by the transition's trace line (main thread).
    void PresentLast();
    void Present(TSource image, const gfx::IntRect& source, const gfx::IntRect& target) override;
    void Compose(std::span<const gfx::IntRect> changed, gfx::PixelDraw compose) override;
    TTransImages Images() { return {&NewImage, &OldImage}; }
    // TransFrameCount, which does not change while the worker runs.
    static std::int32_t FrameCount();

    std::atomic<std::int32_t> EffectNumber;
    gfx::TBitmap32 NewImage;
    gfx::TBitmap32 OldImage;
    plat::Surface* target_;
    std::int32_t FrameDelay;
    std::int32_t width_;
    std::int32_t height_;
    gfx::IntRect PresentSource;
    gfx::IntRect PresentTarget;
    // The composition of the frame being presented, while the worker waits for it.
    std::span<const gfx::IntRect> composedRects_;
    const gfx::PixelDraw* composition_ = nullptr;

    // Made once, so that a present allocates nothing.
    std::function<void()> presentNew_;
    std::function<void()> presentOld_;
    std::function<void()> presentComposed_;
    std::function<void()> presentLast_;
    std::function<void()> frameObserver_;

    // For the trace: when the transition started (on the main thread, in plat::Microseconds), and
    // the frames the effect drew, the closing whole image not counted. The worker counts; the main
    // thread reads the count in the closing present, while the worker waits for it.
    std::uint64_t startedAt_;
    std::int32_t framesDrawn_ = 0;
};

// Tools and tests watch a transition frame by frame: the observer runs on the main thread after
// every frame has reached the canvas, and once more after the final frame. Set it before
// StartTransition; it is taken by the transitions that start after.
void SetFrameObserver(std::function<void()> observer);

}  // namespace trans
