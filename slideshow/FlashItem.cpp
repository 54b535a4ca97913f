#include "slideshow/FlashItem.h"

#include <stdexcept>

#include "common/Trace.h"
#include "platform/MovieHeader.h"
#include "slideshow/Layout.h"

namespace show {

namespace {

constexpr std::uint32_t kPollMs = 100;
constexpr std::int32_t kNotPolled = -2;
constexpr std::int32_t kDayOfSeconds = 86400;
constexpr std::uint32_t kTwipsPerPixel = 20;

// Closing goes on whatever the control says to each step.
template <typename Step>
void Attempt(Step step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

gfx::IntSize MovieFrameSize(const std::string& file) {
    const auto header = plat::ReadMovieHeader(file);
    if (!header) {
        throw std::runtime_error("the movie's frame size cannot be read");
    }
    return {static_cast<std::int32_t>(header->xMax / kTwipsPerPixel),
            static_cast<std::int32_t>(header->yMax / kTwipsPerPixel)};
}

TFlashItem::TFlashItem(plat::Panel& panelDisplay, gfx::IntSize screen, std::function<void()> nextItemNow,
                       std::function<void()> repaint)
    : panelDisplay_(panelDisplay),
      screen_(screen),
      nextItemNow_(std::move(nextItemNow)),
      repaint_(std::move(repaint)),
      flashTimer_([this] { FlashTimerTimer(); }, kPollMs, false) {}

TFlashItem::~TFlashItem() { Destroy(); }

void TFlashItem::DestroyControl() {
    if (player_) {
        Attempt([&] { player_->Stop(); });
        player_.reset();
    }
}

void TFlashItem::CreateControl() {
    DestroyControl();
    player_ = plat::FlashPlayer::Create(panelDisplay_);
    player_->SetVisible(false);
}

void TFlashItem::Open(const std::string& file, bool exitMouseMove) {
    DestroyControl();
    player_ = plat::FlashPlayer::Create(panelDisplay_);
    player_->SetMenu(false);
    player_->SetVisible(true);
    player_->SetMovie(file);
    if (exitMouseMove) {
        // The panel and the movie in it take no mouse input, so a move still reaches the filter.
        panelDisplay_.SetEnabled(false);
    }
    frame_ = MovieFrameSize(file);
}

void TFlashItem::Play(pkg::ItemRecord& item, std::int32_t sizeMode) {
    try {
        panelDisplay_.SetBounds(PlacePanel(sizeMode, screen_, gfx::IntRect::FromSize(0, 0, frame_.width, frame_.height)));
        const gfx::IntRect panel = panelDisplay_.Bounds();
        player_->SetBounds(gfx::IntRect::FromSize(0, 0, panel.Width(), panel.Height()));
        panelDisplay_.SetVisible(true);
        FlashShowing = true;
        if (item.ItemDuration != kNotPolled) {
            flashTimer_.SetEnabled(true);
        }
        if (item.ItemDuration <= -1) {
            // The poll ends the item when the movie stops; the slideshow's interval only after a day.
            item.ItemDuration = kDayOfSeconds;
        }
        player_->Play();
    } catch (const std::exception&) {
        CloseAndStopFlash();
        throw;
    }
}

void TFlashItem::FlashTimerTimer() {
    if (!FlashShowing) {
        return;
    }
    bool playing = false;
    // A control that cannot tell whether it plays has nothing more to show.
    Attempt([&] { playing = player_->IsPlaying(); });
    if (playing) {
        return;
    }
    core::Trace("Flash movie ended");
    nextItemNow_();
    repaint_();
}

void TFlashItem::CloseAndStopFlash() {
    if (player_) {
        Attempt([&] { player_->Stop(); });
        Attempt([&] { player_->SetPlaying(false); });
        Attempt([&] { player_->SetVisible(false); });
    }
    panelDisplay_.SetVisible(false);
    if (player_) {
        Attempt([&] { player_->SetMovie("none"); });
    }
    FlashShowing = false;
    flashTimer_.SetEnabled(false);
}

void TFlashItem::Destroy() {
    if (FlashShowing) {
        CloseAndStopFlash();
    }
    DestroyControl();
}

}  // namespace show
