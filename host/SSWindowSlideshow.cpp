// The main window's slideshow handlers: the start, the item timer and the transition's completion.

#include <algorithm>
#include <utility>

#include "common/Flags.h"
#include "common/Trace.h"
#include "host/SSWindow.h"
#include "package/ItemKind.h"
#include "platform/MessageLoop.h"
#include "platform/System.h"

namespace host {

namespace {

core::ProcessFlags& F() { return core::Flags(); }

// A stored display time below one second would stop the slideshow for good.
std::uint32_t SecondsToMs(std::int64_t seconds) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(seconds, 1, 0x7FFFFFFF / 1000) * 1000);
}

}  // namespace

void TSSWindow::NextItemNow() {
    timer_.SetInterval(1);
    timer_.SetEnabled(true);
}

void TSSWindow::RepaintImages() {
    image32_->Changed();
    for (TMonitorScreen& screen : monitors_) {
        screen.image->Changed();
    }
}

void TSSWindow::CreateFlash() {
    flash_ = std::make_unique<show::TFlashItem>(
        *panelDisplay_, image32_->Bounds().Size(), [this] { NextItemNow(); }, [this] { RepaintImages(); });
}

void TSSWindow::CreateLoader() {
    video_ = std::make_unique<show::TVideoItem>(*panelDisplay_, image32_->Bounds().Size(), package_.header.MuteVideo,
                                                [this] { NextItemNow(); });
    video_->MPlay().SetNotifyHandler([this](plat::MediaNotice notice) { MPlayNotify(notice); });
    show::TLoadStage stage{package_,
                           plat::OwnFileName(),
                           settings_,
                           overlays_,
                           gif_,
                           sequencer_,
                           *image32_,
                           MonitorImages(),
                           F().PreviewMode,
                           [this] { RestartTimer(); },
                           video_.get(),
                           flash_.get(),
                           [this](std::int32_t index) { LoadEnterSound(index); },
                           F().PreviewMode ? nullptr : &preparer_};
    loader_ = std::make_unique<show::TItemLoader>(std::move(stage));
    loader_->DirectShow = true;
}

std::uint32_t TSSWindow::ItemInterval() const {
    const std::int32_t shown = loader_->ShownIndex;
    if (shown >= 0 && static_cast<std::size_t>(shown) < package_.items.size()) {
        const pkg::ItemRecord& item = package_.items[static_cast<std::size_t>(shown)];
        const std::int32_t own = item.ItemDuration;
        // A Flash item's time (a day, when it has none of its own) is for while it shows; after a
        // load that failed it is closed, and the next item comes at the usual interval.
        const bool closedFlash =
            pkg::ItemKindOf(item.ItemExt) == pkg::ItemKind::Flash && !(flash_ && flash_->FlashShowing);
        if (own > 0 && !closedFlash) {
            return SecondsToMs(own);
        }
    }
    return SecondsToMs(settings_.Seconds);
}

bool TSSWindow::VideoPlaying() const { return video_ && video_->VideoPlaying; }

bool TSSWindow::LoneFlashItem() const {
    return package_.items.size() == 1 && pkg::ItemKindOf(package_.items[0].ItemExt) == pkg::ItemKind::Flash;
}

void TSSWindow::StartSlideshow() {
    const auto count = static_cast<std::int32_t>(package_.items.size());
    sequencer_.Reset(count, settings_.DisplayOrder, package_.header.IntroFirstItem, settings_.Effect);
    if (package_.header.IntroFirstItem && count > 0) {
        sequencer_.NextIndex = 0;
    } else {
        sequencer_.ChooseNextCounter();
    }
    if (settings_.DesktopStart) {
        // The desktop first; the first tick brings the first item in with a transition from it.
        loader_->LoadImage(sequencer_.NextIndex, true);
    } else {
        loader_->LoadImage(sequencer_.NextIndex, false);
        sequencer_.ChooseNextCounter();
        loader_->PrepareNext(sequencer_.NextIndex);
    }
    if (count <= 0 || VideoPlaying()) {
        timer_.SetEnabled(false);
    } else {
        timer_.SetInterval(settings_.DesktopStart ? 1 : ItemInterval());
        timer_.SetEnabled(true);
        if (!settings_.DesktopStart && count == 1 && !LoneFlashItem()) {
            timer_.SetEnabled(false);
        }
        if (F().PresentationMode && !F().PresentationPlaying) {
            timer_.SetEnabled(false);
        }
    }
    settings_.DesktopStart = false;
}

void TSSWindow::TimerTimer() {
    timer_.SetEnabled(false);
    if (F().TransBusy || F().TransPending > 0) {
        // Next, Back or Play cut a transition short, and it has not ended yet: the tick comes
        // again from its completion handler, so that one transition never runs over another.
        tickWaiting_ = true;
        return;
    }
    if (F().TransAbort) {
        FinishAfterTransition();
        return;
    }
    core::Trace("Tick");  // the start of the next item's load: its transition's line times it
    if (AwaitPreparedItem()) {
        return;
    }
    gif_.StopGif();
    if (flash_ && flash_->FlashShowing) {
        flash_->CloseAndStopFlash();
        RepaintImages();
    }
    if (VideoPlaying()) {
        // A video still playing (the timer came back through Resume or a presentation control)
        // gives way to the next item.
        video_->Stop();
    }
    if (F().PreviewMode) {
        LoadPreviewImage();
    } else {
        loader_->LoadImage(sequencer_.NextIndex, false);
    }
    sequencer_.ChooseNextCounter();
    timer_.SetInterval(ItemInterval());
    const bool off = package_.items.size() <= 1 || F().PreviewMode || VideoPlaying() || F().TransBusy ||
                     (F().PresentationMode && !F().PresentationPlaying);
    timer_.SetEnabled(!off);
    if (LoneFlashItem()) {
        timer_.SetEnabled(true);
    }
    if (!F().TransBusy) {
        // No transition came (a movie, or an item skipped): its completion would have prepared next.
        loader_->PrepareNext(sequencer_.NextIndex);
    }
}

// The next item is still being prepared: its tick waits for it, serving input meanwhile, rather than
// decoding it a second time beside it. True when this tick is over: the saver ended meanwhile, or
// what was being prepared was thrown away (steered elsewhere, a monitor gone), and a fresh tick
// comes unless the presentation is paused.
bool TSSWindow::AwaitPreparedItem() {
    if (!loader_->BeingPrepared(sequencer_.NextIndex)) {
        return false;
    }
    const int discards = preparer_.Discards();
    plat::RunModalLoop([this] { return closed_ || !preparer_.Running(); });
    if (closed_) {
        return true;
    }
    if (preparer_.Discards() != discards) {
        if (!F().PresentationMode || F().PresentationPlaying) {
            NextItemNow();
        }
        return true;
    }
    return false;
}

void TSSWindow::RestartTimer() {
    core::Trace("Restart Timer");
    if (closed_) {
        return;  // closed while the transition ran: nothing starts again
    }
    if (F().TransAbort && FinishAfterTransition()) {
        return;
    }
    if (std::exchange(tickWaiting_, false)) {
        NextItemNow();
        return;
    }
    if (!F().PresentationMode || F().PresentationPlaying) {
        timer_.SetEnabled(true);
    }
    gif_.AnimateGif();
    // While the item shows, the next one is made ready for its tick.
    loader_->PrepareNext(sequencer_.NextIndex);
}

bool TSSWindow::FinishAfterTransition() {
    FinishScreenSaver(true);
    if (closed_) {
        DisplayExitBanner();
        return true;
    }
    // The password was rejected: the saver goes on as if the ending input had not come, with the
    // item whole on the screen.
    F().TransAbort = false;
    F().TransShutdown = false;
    RepaintImages();
    return false;
}

}  // namespace host
