#include "slideshow/PresentationControls.h"

#include <cctype>

#include "common/Flags.h"
#include "common/Trace.h"

namespace show {

namespace {

constexpr std::uint32_t kHideAfterMs = 5000;
constexpr int kBottomMargin = 20;
constexpr int kButtonSize = 35;
constexpr int kButtonStep = 38;
constexpr int kImageSize = 28;

// The letter after the single "&" of a caption, upper-cased; 0 when there is none.
int AccessLetter(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (caption[i + 1] != '&') {
                return std::toupper(static_cast<unsigned char>(caption[i + 1]));
            }
            ++i;
        }
    }
    return 0;
}

}  // namespace

TPresentationControls::TPresentationControls(TPresentationStage stage)
    : stage_(std::move(stage)), hideTimer_([this] { PresPanelHideTimerTimer(); }, kHideAfterMs, false) {
    PresPanel.kind = plat::ControlKind::Panel;
    PresPanel.bounds = gfx::IntRect::FromSize(0, 0, 193, 41);
    PresPanel.raised = true;
    PresPanel.visible = false;
    int x = 3;
    for (const Binding& b : Bindings()) {
        plat::Control& button = *b.button;
        button.kind = plat::ControlKind::Button;
        button.parent = PresPanel.name;
        button.bounds = gfx::IntRect::FromSize(x, 3, kButtonSize, kButtonSize);
        button.glyphSize = kImageSize;
        x += kButtonStep;
    }
    Sync();
}

std::array<TPresentationControls::Binding, 5> TPresentationControls::Bindings() {
    return {{{&btnPlay, &ActPlay, &TPresentationControls::ActPlayExecute},
             {&btnPause, &ActPause, &TPresentationControls::ActPauseExecute},
             {&btnBack, &ActBack, &TPresentationControls::ActBackExecute},
             {&btnNext, &ActNext, &TPresentationControls::ActNextExecute},
             {&btnClose, &ActClose, &TPresentationControls::ActCloseExecute}}};
}

void TPresentationControls::CreatePanel() {
    controls_ = plat::ControlSet::Create(
        stage_.window, {&PresPanel, &btnPlay, &btnPause, &btnBack, &btnNext, &btnClose},
        [this](const plat::ControlEvent& event) { OnEvent(event); }, plat::ControlRoot::Fitted);
    Place();
}

void TPresentationControls::Rescale(int dpi) {
    if (controls_) {
        controls_->Rescale(dpi);
        Place();
    }
}

// The panel's size scales; it stays centred, its margin above the bottom of the screen scaled too.
void TPresentationControls::Place() {
    const int dpi = controls_->Dpi();
    const gfx::IntSize size{plat::ScaleToDpi(PresPanel.bounds.Width(), dpi),
                            plat::ScaleToDpi(PresPanel.bounds.Height(), dpi)};
    const gfx::IntSize screen = plat::ScreenSize();
    place_ = gfx::IntRect::FromSize((screen.width - size.width) / 2,
                                    screen.height - size.height - plat::ScaleToDpi(kBottomMargin, dpi), size.width,
                                    size.height);
    controls_->PlaceRoot({place_.left, place_.top});
}

gfx::IntRect TPresentationControls::PanelRect() const { return controls_ ? place_ : PresPanel.bounds; }

void TPresentationControls::Sync() {
    for (const Binding& b : Bindings()) {
        b.button->caption = b.action->caption;
        b.button->hint = b.action->hint;
        b.button->glyph = PresImages[static_cast<std::size_t>(b.action->imageIndex)];
        b.button->enabled = b.action->enabled;
    }
    if (controls_) {
        controls_->Sync();
    }
}

void TPresentationControls::OnEvent(const plat::ControlEvent& event) {
    if (event.kind != plat::ControlEvent::Kind::Click) {
        return;
    }
    for (const Binding& b : Bindings()) {
        if (event.name == b.button->name && b.action->enabled && PresPanel.visible) {
            (this->*b.execute)();
        }
    }
}

bool TPresentationControls::AccessKey(std::uintptr_t character) {
    if (!PresPanel.visible || character > 0xFF) {
        return false;
    }
    const int letter = std::toupper(static_cast<int>(character));
    for (const Binding& b : Bindings()) {
        if (b.action->enabled && AccessLetter(b.action->caption) == letter) {
            (this->*b.execute)();
            return true;
        }
    }
    return false;
}

// The worker sees TransCancel at its next frame. Nothing waits for it here: the main thread has to
// serve the worker's last frames, and the item tick waits until the transition has ended.
void TPresentationControls::CancelTransition() {
    core::ProcessFlags& flags = core::Flags();
    if (flags.TransBusy) {
        flags.TransCancel = true;
    }
}

void TPresentationControls::Steered() {
    if (stage_.steered) {
        stage_.steered();
    }
}

void TPresentationControls::NextItemNow() {
    stage_.timer.SetInterval(1);
    stage_.timer.SetEnabled(true);
}

void TPresentationControls::ActNextExecute() {
    core::Trace("ActNext");
    Steered();
    CancelTransition();
    NextItemNow();
}

void TPresentationControls::ActBackExecute() {
    core::Trace("ActBack");
    Steered();
    CancelTransition();
    TSequencer& s = stage_.sequencer;
    s.NextIndex = s.PrevIndex;
    s.BackStep = true;
    s.ChooseNextCounter();
    NextItemNow();
}

void TPresentationControls::ActPlayExecute() {
    core::Trace("ActPlay");
    Steered();
    core::Flags().PresentationPlaying = true;
    ActPlay.enabled = false;
    ActPause.enabled = true;
    // During a transition its completion handler turns the timer on.
    if (!core::Flags().TransBusy) {
        NextItemNow();
    }
    Sync();
}

void TPresentationControls::ActPauseExecute() {
    core::Trace("ActPause");
    Steered();
    core::Flags().PresentationPlaying = false;
    ActPlay.enabled = true;
    ActPause.enabled = false;
    stage_.timer.SetEnabled(false);
    core::Flags().TransCancel = true;
    Sync();
}

void TPresentationControls::ActCloseExecute() {
    core::Trace("ActClose");
    stage_.close();
}

void TPresentationControls::ShowPanel() {
    PresPanel.visible = true;
    // Every movement counts the time afresh: a pointer that keeps moving keeps the panel up.
    hideTimer_.SetEnabled(false);
    hideTimer_.SetInterval(kHideAfterMs);
    hideTimer_.SetEnabled(true);
    stage_.setCursorVisible(true);
    Sync();
}

void TPresentationControls::PresPanelHideTimerTimer() {
    hideTimer_.SetEnabled(false);
    if (PanelRect().Contains(plat::CursorPos())) {
        return;  // up until the next movement arms the timer again
    }
    PresPanel.visible = false;
    stage_.setCursorVisible(false);
    Sync();
}

void TPresentationControls::LeftButtonDown(gfx::IntPoint cursor) {
    if (!PanelRect().Contains(cursor)) {
        ActNextExecute();
    }
}

}  // namespace show
