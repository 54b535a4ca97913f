#include "slideshow/GifAnimator.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "gfx/decode/PictureFile.h"
#include "platform/Colors.h"

namespace show {

namespace {

constexpr std::int32_t kShortestDelayMs = 20;
constexpr std::uint32_t kDelayForShortOnesMs = 100;

}  // namespace

TGifAnimator::TGifAnimator() : timer_([this] { GifTimerTimer(); }, 1000, false) {}

std::uint32_t TGifAnimator::FrameInterval(std::int32_t delayMs) {
    return delayMs < kShortestDelayMs ? kDelayForShortOnesMs : static_cast<std::uint32_t>(delayMs);
}

bool TGifAnimator::LoadGif(const std::string& path, std::string* why) {
    StopGif();
    frameIndex_ = 0;
    auto picture = gfx::LoadPictureFile(path, why);
    return picture && LoadAnimation(std::move(*picture));
}

bool TGifAnimator::LoadAnimation(gfx::TPicture picture) {
    StopGif();
    frameIndex_ = 0;
    if (picture.frames.empty()) {
        return false;
    }
    transparent_ = std::any_of(picture.frames.begin(), picture.frames.end(),
                               [](const gfx::TPictureFrame& f) { return f.HasTransparency(); });
    composer_ = std::make_unique<TGifComposer>(std::move(picture));
    return true;
}

std::optional<gfx::TBitmap32> TGifAnimator::FirstFrame(gfx::TColor backgroundColor) {
    if (!composer_) {
        return std::nullopt;
    }
    return Presentable(composer_->Compose(0), backgroundColor);
}

void TGifAnimator::SetStage(gfx::TBitmap32 gifbackg, const gfx::IntRect& imageRect, plat::Surface* display,
                            gfx::TColor backgroundColor) {
    gifbackg_ = std::move(gifbackg);
    imageRect_ = imageRect;
    display_ = display;
    backgroundColor_ = backgroundColor;
}

void TGifAnimator::AnimateGif() {
    if (composer_ && composer_->FrameCount() > 1) {
        timer_.SetInterval(1);
        timer_.SetEnabled(true);
    }
}

void TGifAnimator::StopGif() {
    timer_.SetEnabled(false);
    composer_.reset();
    transparent_ = false;
    gifbackg_ = gfx::TBitmap32();
    display_ = nullptr;
}

gfx::TBitmap32 TGifAnimator::Presentable(const gfx::TBitmap32& composed, gfx::TColor backgroundColor) const {
    gfx::TBitmap32 picture = composed;
    if (!transparent_) {
        picture.MakeOpaque();
        picture.SetDrawMode(gfx::DrawMode::Opaque);
        return picture;
    }
    const gfx::Color32 clear = plat::PixelColor(backgroundColor) & 0x00FFFFFFu;
    gfx::Color32* p = picture.Bits();
    const std::size_t count = static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Height());
    for (std::size_t i = 0; i < count; ++i) {
        if (gfx::AlphaOf(p[i]) == 0) {
            p[i] = clear;
        }
    }
    picture.SetDrawMode(gfx::DrawMode::Blend);
    return picture;
}

void TGifAnimator::Show(const gfx::TBitmap32& frame) {
    // Every frame is scaled into the rectangle the first one was laid out in, straight over the
    // background in the surface's bitmap: no third picture of the screen.
    if (display_ != nullptr) {
        gfx::TBitmap32& screen = display_->Bitmap();
        screen.CopyRect({0, 0}, gifbackg_, gifbackg_.BoundsRect());
        frame.DrawTo(screen, imageRect_);
        display_->Changed();
    }
}

void TGifAnimator::GifTimerTimer() {
    timer_.SetEnabled(false);
    const std::int32_t count = FrameCount();
    if (count == 0 || frameIndex_ < 0 || frameIndex_ >= count) {
        return;
    }
    try {
        Show(Presentable(composer_->Compose(frameIndex_), backgroundColor_));
    } catch (const std::exception&) {
        // A frame that cannot be drawn is skipped; the animation goes on with the next.
    }
    const std::int32_t delay = composer_->Picture().frames[static_cast<std::size_t>(frameIndex_)].delayMs;
    ++frameIndex_;
    if (frameIndex_ == count && composer_->Picture().loopCount) {
        frameIndex_ = 0;
    }
    if (frameIndex_ != count) {
        timer_.SetInterval(FrameInterval(delay));
        timer_.SetEnabled(true);
    }
}

}  // namespace show
