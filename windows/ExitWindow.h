#pragma once

#include <memory>
#include <string>

#include "config/DialogForm.h"
#include "gfx/Bitmap32.h"
#include "platform/Surface.h"

namespace side {

// The exit banner: a borderless window of the banner picture's size, centred on the screen, that a
// screen saver may show once when it ends. A click on the picture opens the banner's link (when
// there is one) and closes the window; the close glyph at the top right only closes it.
class TExitWindow : public config::TDialogForm {
public:
    TExitWindow(const std::string& link, plat::WindowHandle owner);
    ~TExitWindow() override;

    // Takes the picture file in and sizes the window to the picture. False when it is no picture.
    bool LoadBanner(const std::string& file);

    void imgBannerClick();
    void imgCloseClick() { Close(); }

    plat::Control imgBanner{"imgBanner", ""};
    plat::Control imgClose{"imgClose", ""};

protected:
    void OnEvent(const plat::ControlEvent& event) override;
    void OnDpiChanged(int dpi) override;

private:
    void Paint();

    std::string link_;
    gfx::TBitmap32 picture_;
    std::unique_ptr<plat::Surface> bannerSurface_;
    std::unique_ptr<plat::Surface> closeSurface_;
};

}  // namespace side
