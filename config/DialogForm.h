#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gfx/Geometry.h"
#include "platform/Controls.h"
#include "platform/Window.h"

namespace config {

// A dialog window made from a table of controls: a dialog border (or none), its client area sized
// at 96 pixels an inch and scaled to its monitor, centred on the screen, shown modally over its
// owner.
class TDialogForm {
public:
    TDialogForm(const std::string& caption, gfx::IntSize clientSize, plat::WindowHandle owner,
                plat::BorderStyle border = plat::BorderStyle::Dialog);
    virtual ~TDialogForm();
    TDialogForm(const TDialogForm&) = delete;
    TDialogForm& operator=(const TDialogForm&) = delete;

    // Shows the window with the owner disabled and returns when it has closed.
    void ShowModal();
    void Close();
    bool Showing() const { return showing_; }

    plat::Window& Window() { return *window_; }
    plat::ControlSet& Controls() { return *controls_; }
    void SetCaption(const std::string& caption) { window_->SetCaption(caption); }
    // A new client area size at 96 pixels an inch.
    void Resize(gfx::IntSize clientSize);

protected:
    // Makes the controls of the derived form's table, in reading order.
    void MakeControls(std::vector<plat::Control*> controls);
    // What a user did; the controls show the changes afterwards.
    virtual void OnEvent(const plat::ControlEvent& event) = 0;
    // Right before the window shows.
    virtual void OnShow() {}
    // When the user closes the window (its close box, Alt+F4): false keeps it open.
    virtual bool CanClose() { return true; }
    // After a move to a monitor of another pixels-an-inch value, once the controls have followed.
    virtual void OnDpiChanged(int) {}
    void Sync();

private:
    void Dispatch(const plat::ControlEvent& event);
    void FitToDpi(int dpi);

    std::unique_ptr<plat::Window> window_;
    std::unique_ptr<plat::ControlSet> controls_;
    plat::WindowHandle owner_;
    gfx::IntSize clientSize_;
    bool showing_ = false;
};

// A handler's error as the application reports errors: a message box with its text.
void ShowError(const std::exception& error);

// The dialogs' face colour: the system's colour for buttons.
inline constexpr gfx::TColor kButtonFace = static_cast<gfx::TColor>(0x8000000F);

}  // namespace config
