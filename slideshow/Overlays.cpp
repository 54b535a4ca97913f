#include "slideshow/Overlays.h"

#include "platform/Colors.h"
#include "platform/Window.h"
#include "slideshow/Background.h"
#include "slideshow/Caption.h"
#include "slideshow/Logo.h"
#include "slideshow/Mask.h"

namespace show {

void TOverlays::Build(const pkg::Package& package, const std::string& packageFile, gfx::IntSize clientSize) {
    const pkg::PackageHeader& h = package.header;
    desktop_ = h.DesktopBackground;
    bgimgMode_ = h.BackgroundImageMode;
    logoPosition_ = h.LogoPosition;
    logoOffset_ = {h.LogoOffsetX, h.LogoOffsetY};
    backg_.SetSize(clientSize.width, clientSize.height, plat::PixelColor(h.BackgroundColor));
    bgimg_.reset();
    if (h.BackgroundStoredSize != 0) {
        bgimg_ = LoadBackgroundPicture(h, packageFile);
    }
    PaintBackground(h);
    logo_ = show::LoadLogo(h, packageFile);
}

void TOverlays::RefreshBackground(pkg::PackageHeader& header) {
    if (desktop_) {
        return;
    }
    RandomizeBackground(header);
    PaintBackground(header);
}

void TOverlays::PaintBackground(const pkg::PackageHeader& header) {
    if (desktop_) {
        const gfx::TBitmap32 desktop = plat::CaptureDesktop();
        backg_.CopyRect({0, 0}, desktop, desktop.BoundsRect());
    } else {
        PaintGradient(backg_, header.GradientStyle, header.BackgroundColor, header.BackgroundColor2);
    }
    if (bgimg_) {
        DrawBackgroundPicture(backg_, *bgimg_, bgimgMode_);
    }
}

void TOverlays::DrawLogo(gfx::TBitmap32& frame) const {
    if (!logo_) {
        return;
    }
    const gfx::IntPoint at = AnchorPlace(logoPosition_, {logo_->Width(), logo_->Height()},
                                         {frame.Width(), frame.Height()}, logoOffset_.x, logoOffset_.y);
    logo_->DrawTo(frame, at);
}

void TOverlays::DrawCaption(const pkg::ItemRecord& item, gfx::TBitmap32& frame) const {
    show::DrawCaption(item, frame);
}

std::optional<gfx::TBitmap32> TOverlays::LoadMask(const pkg::Package& package, const std::string& packageFile,
                                                  std::int32_t index) const {
    return show::LoadMask(package, packageFile, index);
}

}  // namespace show
