#include "transitions/TransThread.h"

#include <algorithm>
#include <memory>
#include <string>

#include "common/Flags.h"
#include "common/Random.h"
#include "common/Trace.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "platform/Worker.h"
#include "transitions/Boxes.h"
#include "transitions/Catalogue.h"
#include "transitions/Ellipses.h"
#include "transitions/FadeUnfolds.h"
#include "transitions/Fades.h"
#include "transitions/LineDrops.h"
#include "transitions/RandomShapes.h"
#include "transitions/Shapes.h"
#include "transitions/Slides.h"
#include "transitions/Sweeps.h"
#include "transitions/Unfolds.h"
#include "transitions/Zooms.h"

namespace trans {

namespace {
std::function<void()> g_frameObserver;
}

void SetFrameObserver(std::function<void()> observer) { g_frameObserver = std::move(observer); }

TTransThread::TTransThread(std::int32_t effectNumber, plat::Surface& target, const gfx::TBitmap32& image,
                           std::int32_t frameDelay)
    : EffectNumber(effectNumber),
      NewImage(image),
      OldImage(),
      target_(&target),
      FrameDelay(frameDelay),
      width_(image.Width()),
      height_(image.Height()),
      startedAt_(plat::Microseconds()) {
    OldImage.SetSize(width_, height_);
    target.CopyFromCanvas(OldImage, {0, 0, width_, height_});
    presentNew_ = [this] { PresentNew(); };
    presentOld_ = [this] { PresentOld(); };
    presentComposed_ = [this] { PresentComposed(); };
    presentLast_ = [this] { PresentLast(); };
    frameObserver_ = g_frameObserver;
}

void TTransThread::Start() {
    // The completion step owns the worker: it is freed once that step has run, or when the step is
    // dropped unrun (a worker that cannot start, or a simulated machine reset mid-transition).
    const std::shared_ptr<TTransThread> self(this, [](TTransThread* worker) { delete worker; });
    plat::StartWorker([this] { Execute(); }, [self] { self->Finish(); });
}

void TTransThread::PresentNew() { target_->CopyToCanvas(NewImage, PresentSource, PresentTarget); }

void TTransThread::PresentOld() { target_->CopyToCanvas(OldImage, PresentSource, PresentTarget); }

void TTransThread::PresentComposed() {
    const gfx::IntSize size{width_, height_};
    const gfx::PixelDraw& compose = *composition_;
    target_->DrawOnCanvas(composedRects_, [&](const gfx::PixelView& canvas) { compose(gfx::Cropped(canvas, size)); });
}

// The line's time is when the last frame reached the screen, on the clock of every trace line; the
// span from the start, on the precise clock, gives the end-to-end frame period of the effect's frames.
void TTransThread::PresentLast() {
    PresentNew();
    const std::uint64_t took = (plat::Microseconds() - startedAt_) / 1000;
    const std::uint32_t now = plat::GetTickCount();
    const core::ProcessFlags& flags = core::Flags();
    const bool stopped = flags.TransAbort || flags.TransCancel;
    core::Trace("Transition " + std::to_string(EffectNumber) + ": " + std::to_string(framesDrawn_) + " frames in " +
                std::to_string(took) + " ms, last at " + std::to_string(now) + " ms" +
                (stopped ? ", stopped" : ""));
}

void TTransThread::Present(TSource image, const gfx::IntRect& source, const gfx::IntRect& target) {
    PresentSource = source;
    PresentTarget = target;
    plat::Synchronize(image == TSource::New ? presentNew_ : presentOld_);
}

// The composition runs on the main thread, inside the canvas, while the worker waits: the worker
// never touches the canvas itself.
void TTransThread::Compose(std::span<const gfx::IntRect> changed, gfx::PixelDraw compose) {
    composedRects_ = changed;
    composition_ = &compose;
    plat::Synchronize(presentComposed_);
    composition_ = nullptr;
    composedRects_ = {};
}

void TTransThread::Execute() {
    core::ProcessFlags& flags = core::Flags();
    try {
        if (EffectNumber < 0 || EffectNumber > kEffectCount) {
            EffectNumber = core::Random(kEffectCount) + 1;
        }
        PresentSource = PresentTarget = {};
        const TDispatch d = Dispatch(EffectNumber);
        switch (d.routine) {
            case TRoutine::Slides:
                RunSlides(d.variant);
                break;
            case TRoutine::Unfolds:
                RunUnfolds(d.variant);
                break;
            case TRoutine::LineDrops:
                RunLineDrops(d.variant);
                break;
            case TRoutine::BoxOut:
                RunBoxOut();
                break;
            case TRoutine::BoxIn:
                RunBoxIn();
                break;
            case TRoutine::Ellipses:
                RunEllipses(d.variant);
                break;
            case TRoutine::Shapes:
                RunShapes(d.variant);
                break;
            case TRoutine::RandomShapes:
                RunRandomShapes(d.variant);
                break;
            case TRoutine::Sweeps:
                RunSweeps(d.variant);
                break;
            case TRoutine::Zooms:
                RunZooms(d.variant);
                break;
            case TRoutine::Fades:
                RunFades(d.variant);
                break;
            case TRoutine::FadeUnfolds:
                RunFadeUnfolds(d.variant);
                break;
            case TRoutine::None:
                break;  // 0: the final frame alone
        }
        // Every transition, finished or stopped, ends with the whole new image, except at shutdown.
        if (!flags.TransShutdown) {
            PresentSource = PresentTarget = {0, 0, width_, height_};
            plat::Synchronize(presentLast_);
            if (frameObserver_) {
                plat::Synchronize(frameObserver_);
            }
        }
    } catch (...) {
        // A failed transition ends silently; the slideshow goes on.
    }
    NewImage = {};
    OldImage = {};
    TTransThread* self = this;
    flags.ActiveTransition.compare_exchange_strong(self, nullptr);
    flags.TransBusy = false;
}

void TTransThread::Finish() {
    --core::Flags().TransPending;
    try {
        if (OnTerminate) {
            OnTerminate();
        }
    } catch (...) {
    }
}

void TTransThread::RunSlides(std::int32_t variant) { Run(MakeSlides(variant, Images(), FrameCount())); }

void TTransThread::RunUnfolds(std::int32_t variant) { Run(MakeUnfolds(variant, Images(), FrameCount())); }

void TTransThread::RunLineDrops(std::int32_t variant) { Run(MakeLineDrops(variant, Images(), FrameCount())); }

void TTransThread::RunBoxOut() { Run(MakeBoxOut(Images(), FrameCount())); }

void TTransThread::RunBoxIn() { Run(MakeBoxIn(Images(), FrameCount())); }

void TTransThread::RunEllipses(std::int32_t variant) { Run(MakeEllipses(variant, Images(), FrameCount())); }

void TTransThread::RunShapes(std::int32_t variant) { Run(MakeShapes(variant, Images(), FrameCount())); }

void TTransThread::RunRandomShapes(std::int32_t variant) { Run(MakeRandomShapes(variant, Images(), FrameCount())); }

void TTransThread::RunSweeps(std::int32_t variant) { Run(MakeSweeps(variant, Images(), FrameCount())); }

void TTransThread::RunZooms(std::int32_t variant) { Run(MakeZooms(variant, Images(), FrameCount())); }

void TTransThread::RunFades(std::int32_t variant) { Run(MakeFades(variant, Images(), FrameCount())); }

void TTransThread::RunFadeUnfolds(std::int32_t variant) { Run(MakeFadeUnfolds(variant, Images(), FrameCount())); }

std::int32_t TTransThread::FrameCount() { return core::Flags().TransFrameCount; }

void TTransThread::Run(std::unique_ptr<TFamily> family) {
    if (family) {
        WaitFrame(*family);
    }
}

void TTransThread::WaitFrame(TFamily& family) {
    const core::ProcessFlags& flags = core::Flags();
    auto stopRequested = [&flags] { return flags.TransAbort || flags.TransCancel; };
    // A negative delay would sleep for ever as an unsigned count; it means no delay.
    const std::int32_t delay = std::max(FrameDelay, 0);
    const std::uint64_t delayUs = static_cast<std::uint64_t>(delay) * 1000;
    // The wait is timed on the precise clock with the timer at 1 ms: on the tick count, which moves
    // a whole timer tick at a time, a 9 ms wait lasts 15.6 ms or more.
    const plat::FineTimer fineTimer;
    std::uint64_t t0 = plat::Microseconds();
    for (;;) {
        const bool more = family.DrawFrame(*this);
        ++framesDrawn_;
        if (frameObserver_) {
            plat::Synchronize(frameObserver_);
        }
        if (stopRequested() || (!more && !family.WaitsAfterLastFrame())) {
            return;
        }
        do {
            plat::Sleep(static_cast<std::uint32_t>(std::min(delay, 1)));
        } while (plat::Microseconds() - t0 < delayUs && !stopRequested());
        if (!more) {
            return;
        }
        t0 = plat::Microseconds();
    }
}

}  // namespace trans
