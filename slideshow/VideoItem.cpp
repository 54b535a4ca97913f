#include "slideshow/VideoItem.h"

#include "common/Trace.h"
#include "platform/Files.h"
#include "slideshow/Layout.h"

namespace show {

TVideoItem::TVideoItem(plat::Panel& panelDisplay, gfx::IntSize screen, bool muteVideo,
                       std::function<void()> nextItemNow)
    : panelDisplay_(panelDisplay),
      screen_(screen),
      muteVideo_(muteVideo),
      nextItemNow_(std::move(nextItemNow)),
      mPlay_(plat::MediaPlayer::Create("MPlay")) {}

void TVideoItem::CloseDevice() {
    mPlay_->SuppressNextNotice();
    mPlay_->SetDisplay(0);
    mPlay_->Close();
}

bool TVideoItem::Open(const std::string& file) {
    CloseDevice();
    return mPlay_->Open(file);
}

bool TVideoItem::Play(std::int32_t sizeMode, bool lone) {
    lone_ = lone;
    if (!Attach(sizeMode) || !mPlay_->Play()) {
        // A movie the device will not show in the panel, or not silently when it must, is not played
        // at all: it would play in a window of the device's own, or be heard.
        CloseDevice();
        return false;
    }
    panelDisplay_.SetVisible(true);
    VideoPlaying = true;
    return true;
}

bool TVideoItem::Attach(std::int32_t sizeMode) {
    // Right after opening, the destination is the movie's natural size at (0, 0).
    const std::optional<gfx::IntRect> movie = mPlay_->DisplayRect();
    if (!movie) {
        return false;
    }
    panelDisplay_.SetEnabled(false);
    panelDisplay_.SetBounds(PlacePanel(sizeMode, screen_, gfx::IntRect::FromSize(0, 0, movie->Width(), movie->Height())));
    const gfx::IntRect panel = panelDisplay_.Bounds();
    return mPlay_->SetDisplay(panelDisplay_.Handle()) &&
           mPlay_->SetDisplayRect(gfx::IntRect::FromSize(0, 0, panel.Width(), panel.Height())) &&
           (!muteVideo_ || mPlay_->SetAudioVolume(0));
}

void TVideoItem::MPlayNotify(plat::MediaNotice notice) {
    if (notice != plat::MediaNotice::Successful) {
        return;
    }
    try {
        mPlay_->SuppressNextNotice();
        if (!VideoPlaying) {
            mPlay_->Close();
            return;
        }
        if (lone_) {
            mPlay_->Play();  // from the start again: the device rewinds at the end
            return;
        }
        Stop();
        core::Trace("Video ended");
        nextItemNow_();
    } catch (...) {
    }
}

void TVideoItem::Stop() {
    const std::string file = mPlay_->FileName();
    CloseDevice();
    panelDisplay_.SetVisible(false);
    VideoPlaying = false;
    if (!file.empty()) {
        plat::RemoveFile(file);
    }
}

}  // namespace show
