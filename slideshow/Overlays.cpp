#include "slideshow/Overlays.h"

#include "platform/Colors.h"
#include "platform/Window.h"
#include "slideshow/Background.h"
#include "slideshow/Caption.h"
#include "slideshow/Logo.h"
#include "slideshow/Mask.h"

namespace show {

void TOverlays::Build(const pkg::Package& package, const std::string& packageFile, gfx::IntSize clientSize,
                      std::vector<gfx::IntRect> otherMonitors) {
    const pkg::PackageHeader& h = package.header;
    desktop_ = h.DesktopBackground;
    others_.clear();
    for (const gfx::IntRect& rect : otherMonitors) {
        AddOtherMonitor(rect);
    }
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
    gradientStyle_ = header.GradientStyle;
    color1_ = header.BackgroundColor;
    color2_ = header.BackgroundColor2;
    if (desktop_) {
        const gfx::TBitmap32 desktop = plat::CaptureDesktop();
        backg_.CopyRect({0, 0}, desktop, desktop.BoundsRect());
        if (bgimg_) {
            DrawBackgroundPicture(backg_, *bgimg_, bgimgMode_);
        }
    } else {
        PaintGradientAndPicture(backg_);
    }
}

void TOverlays::PaintGradientAndPicture(gfx::TBitmap32& frame) const {
    PaintGradient(frame, gradientStyle_, color1_, color2_);
    if (bgimg_) {
        DrawBackgroundPicture(frame, *bgimg_, bgimgMode_);
    }
}

gfx::TBitmap32 TOverlays::OtherBackground(std::size_t other) const {
    const OtherMonitor& monitor = others_.at(other);
    if (!desktop_) {
        gfx::TBitmap32 frame(monitor.rect.Width(), monitor.rect.Height(), plat::PixelColor(color1_));
        PaintGradientAndPicture(frame);
        return frame;
    }
    gfx::TBitmap32 frame = monitor.desktop;
    if (bgimg_) {
        DrawBackgroundPicture(frame, *bgimg_, bgimgMode_);
    }
    return frame;
}

void TOverlays::DropOtherMonitor(std::size_t other) {
    if (other < others_.size()) {
        others_.erase(others_.begin() + static_cast<std::ptrdiff_t>(other));
    }
}

void TOverlays::AddOtherMonitor(const gfx::IntRect& rect) {
    // The desktop is taken now, before the saver's windows cover it.
    others_.push_back({rect, desktop_ ? plat::CaptureDesktop(rect) : gfx::TBitmap32()});
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
