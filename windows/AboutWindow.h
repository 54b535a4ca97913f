#pragma once

#include <string>

#include "config/DialogForm.h"
#include "package/PackageFormat.h"

namespace side {

// The about window: the program's icon, the screen saver's name, its text and its web link.
class TAboutWindow : public config::TDialogForm {
public:
    TAboutWindow(const pkg::PackageStrings& strings, plat::WindowHandle owner);

    void btnCloseClick() { Close(); }
    void LinkClick();

    plat::Control imgIcon{"imgIcon", ""};
    plat::Control Title{"Title", "Screen Saver"};
    plat::Control Text{"Text", "Version 1.0"};
    plat::Control Link{"Link", ""};
    plat::Control Bevel1{"Bevel1", ""};
    plat::Control btnClose{"btnClose", "Close"};

protected:
    void OnShow() override;
    void OnEvent(const plat::ControlEvent& event) override;

private:
    const pkg::PackageStrings& strings_;
};

}  // namespace side
