#include "slideshow/ItemPreparer.h"

#include <chrono>
#include <thread>
#include <utility>

#include "common/Trace.h"
#include "gfx/decode/PictureFile.h"
#include "platform/Files.h"
#include "platform/Worker.h"
#include "slideshow/Filters.h"
#include "slideshow/Layout.h"
#include "slideshow/Mask.h"
#include "slideshow/StillFrame.h"

namespace show {

namespace {

std::atomic<int> g_working{0};
std::function<void()> g_stepHook;

void Step() {
    if (g_stepHook) {
        g_stepHook();
    }
}

// The preparing thread's own file names beside the tick's "SSIMG…" and "SSMASK…".
pkg::Piece OwnName(pkg::Piece piece) {
    piece.prefix += "N";
    return piece;
}

}  // namespace

struct TItemPreparer::Run {
    std::int32_t index = -1;
    std::size_t screen = 0;
    std::int32_t sizeMode = 0;
    std::atomic<bool> abandoned{false};
    std::optional<TPreparedStill> result;  // written by the thread before its completion is served
    TItemPreparer* owner = nullptr;        // main thread only
};

std::optional<TPreparedStill> PrepareStill(TStillJob job, const std::atomic<bool>& abandoned) {
    core::TraceHold hold;
    const auto file = pkg::ExtractPiece(job.packageFile, OwnName(job.piece));
    Step();
    if (!file || abandoned) {
        if (file) {
            plat::RemoveFile(*file);
        }
        return std::nullopt;
    }
    const gfx::IntSize frame{job.background.Width(), job.background.Height()};
    gfx::IntSize own;
    auto picture = gfx::LoadPictureFile(*file, nullptr, [&](gfx::IntSize size) {
        own = size;
        return StillSize(job.sizeMode, frame, size);
    });
    plat::RemoveFile(*file);
    Step();
    if (!picture || picture->frames.size() != 1 || picture->frames[0].bitmap.Empty() || abandoned) {
        return std::nullopt;
    }
    gfx::TBitmap32 image = std::move(picture->frames[0].bitmap);
    image.MakeOpaque();
    ApplyFilters(image, job.filters);
    std::optional<gfx::TBitmap32> mask;
    if (job.maskPiece) {
        mask = LoadMaskPiece(job.packageFile, OwnName(*job.maskPiece), job.maskKind);
        Step();
    }
    if (abandoned) {
        return std::nullopt;
    }
    TPreparedStill still;
    still.index = job.index;
    still.screen = job.screen;
    still.sizeMode = job.sizeMode;
    still.imageSize = own;
    still.decodedSize = {image.Width(), image.Height()};
    still.frame = std::move(job.background);
    still.imageRect = DrawStillOnFrame(image, mask ? &*mask : nullptr, false, job.sizeMode, own, still.frame);
    still.traced = hold.Take();
    return still;
}

TItemPreparer::~TItemPreparer() { Discard(); }

void TItemPreparer::Start(TStillJob job) {
    if (run_ || *working_ > 0) {
        return;
    }
    ready_.reset();
    auto run = std::make_shared<Run>();
    run->index = job.index;
    run->screen = job.screen;
    run->sizeMode = job.sizeMode;
    run->owner = this;
    run_ = run;
    ++g_working;
    ++*working_;
    plat::StartWorker(
        [run, working = working_, job = std::move(job)]() mutable {
            try {
                run->result = PrepareStill(std::move(job), run->abandoned);
            } catch (...) {
                run->result.reset();
            }
            --*working;
            --g_working;
        },
        [run] {
            if (run->owner != nullptr) {
                TItemPreparer& owner = *run->owner;
                owner.run_.reset();
                owner.ready_ = std::move(run->result);
            }
        });
}

std::optional<TPreparedStill> TItemPreparer::Take(std::int32_t index, std::size_t screen, std::int32_t sizeMode) {
    std::optional<TPreparedStill> ready = std::exchange(ready_, std::nullopt);
    if (ready && ready->index == index && ready->screen == screen && ready->sizeMode == sizeMode) {
        return ready;
    }
    return std::nullopt;
}

bool TItemPreparer::RunningFor(std::int32_t index, std::size_t screen, std::int32_t sizeMode) const {
    return run_ && run_->index == index && run_->screen == screen && run_->sizeMode == sizeMode;
}

void TItemPreparer::Discard() {
    if (ready_ || run_) {
        ++discards_;
    }
    ready_.reset();
    if (run_) {
        run_->abandoned = true;
        run_->owner = nullptr;
        run_.reset();
    }
}

void TItemPreparer::SetStepHook(std::function<void()> hook) { g_stepHook = std::move(hook); }

void TItemPreparer::WaitForAll() {
    while (g_working > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace show
