#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gfx/Geometry.h"
#include "platform/Controls.h"
#include "platform/Timer.h"
#include "platform/Window.h"
#include "slideshow/Sequencer.h"

namespace show {

// One command of the presentation panel: what its button shows and whether it can run now.
struct TAction {
    std::string caption;  // its "&" letter is the access key
    std::string hint;
    std::int32_t imageIndex = 0;  // in PresImages
    bool enabled = true;
};

// What the presentation controls steer; owned by the main window.
struct TPresentationStage {
    plat::Window& window;  // the full-screen window that carries the panel
    plat::Timer& timer;    // the slideshow timer
    TSequencer& sequencer;
    std::function<void(bool)> setCursorVisible;
    std::function<void()> close;  // the main window's normal closing
    std::function<void()> steered;  // Play, Pause, Back or Next: an item prepared ahead goes
};

// The presentation's on-screen panel: Play, Pause, Back, Next and Close steer the slideshow; a move
// of the pointer brings the panel up at the bottom of the screen for a few seconds, and a left
// click anywhere else shows the next item.
class TPresentationControls {
public:
    explicit TPresentationControls(TPresentationStage stage);
    TPresentationControls(const TPresentationControls&) = delete;
    TPresentationControls& operator=(const TPresentationControls&) = delete;

    // Makes the panel's real controls, hidden, at their place at the bottom of the screen.
    void CreatePanel();
    // The panel's size and place at the window's new pixels an inch.
    void Rescale(int dpi);

    void ActPlayExecute();
    void ActPauseExecute();
    void ActBackExecute();
    void ActNextExecute();
    void ActCloseExecute();

    // The panel comes up with the pointer, for PresPanelHideTimer's time.
    void ShowPanel();
    void PresPanelHideTimerTimer();
    // A left button went down with the pointer at cursor (screen pixels).
    void LeftButtonDown(gfx::IntPoint cursor);
    // A typed character: the access key of a button that shows and is enabled runs its action.
    bool AccessKey(std::uintptr_t character);

    // Where the panel lies on the screen, in pixels, shown or not.
    gfx::IntRect PanelRect() const;
    plat::Timer& PresPanelHideTimer() { return hideTimer_; }

    plat::Control PresPanel{"PresPanel", ""};
    plat::Control btnPlay{"btnPlay", ""};
    plat::Control btnPause{"btnPause", ""};
    plat::Control btnBack{"btnBack", ""};
    plat::Control btnNext{"btnNext", ""};
    plat::Control btnClose{"btnClose", ""};

    // PresActions, in their order; each button shows its action.
    TAction ActPlay{"&Play", "Play", 0, false};
    TAction ActPause{"P&ause", "Pause", 1, true};
    TAction ActBack{"&Back", "Back", 2, true};
    TAction ActNext{"&Next", "Next", 3, true};
    TAction ActClose{"&Close", "Close", 4, true};
    // PresImages: the pictures of the actions, 28 x 28 at 96 pixels an inch (see gfx/Glyphs.h).
    static constexpr std::array<const char*, 5> PresImages{"play", "pause", "back", "next", "close"};

private:
    struct Binding {
        plat::Control* button;
        TAction* action;
        void (TPresentationControls::*execute)();
    };
    std::array<Binding, 5> Bindings();
    void OnEvent(const plat::ControlEvent& event);
    void Sync();
    void Place();
    void CancelTransition();
    void Steered();
    void NextItemNow();

    TPresentationStage stage_;
    plat::Timer hideTimer_;
    std::unique_ptr<plat::ControlSet> controls_;
    gfx::IntRect place_;
};

}  // namespace show
