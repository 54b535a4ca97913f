#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "package/PackageFormat.h"
#include "slideshow/AnchorPlace.h"
#include "slideshow/Gradient.h"

namespace show {

// Everything a frame shows besides the item: the background `backg` (gradient or desktop, with the
// package's background picture `bgimg` on it), the logo, the items' captions, and the masks.
// The main monitor's background is kept; another monitor's is painted at its own size when an
// item goes there, so that each monitor holds no more than its own window's pixels.
class TOverlays {
public:
    // Builds backg, bgimg and the logo once at start-up, from the header whose colours and style the
    // package reader has already randomised. Throws pkg::PackageError when the package has a
    // background picture that cannot be taken out or decoded (that fails the package reading).
    // The logo's failures only leave the program without a logo. otherMonitors are the rectangles,
    // in desktop pixels, of the monitors besides the main one that the slideshow shows on.
    void Build(const pkg::Package& package, const std::string& packageFile, gfx::IntSize clientSize,
               std::vector<gfx::IntRect> otherMonitors = {});

    // Before an item when the package asks for a new background per item (and the background is
    // not the desktop): re-randomise the colours and style of header as at start-up, repaint the
    // gradient, draw bgimg again. Does nothing when the background is the desktop.
    void RefreshBackground(pkg::PackageHeader& header);

    const gfx::TBitmap32& Background() const { return backg_; }
    // The background of another monitor (counted from 0 after the main one) at that monitor's size.
    gfx::TBitmap32 OtherBackground(std::size_t other) const;
    // That monitor went away: the others keep their places in turn.
    void DropOtherMonitor(std::size_t other);
    // A monitor came, after the others in turn; a desktop background is taken of it now, before the
    // saver's window covers it.
    void AddOtherMonitor(const gfx::IntRect& rect);
    bool HasLogo() const { return logo_.has_value(); }

    // Blends the logo at its own size at its anchor place.
    void DrawLogo(gfx::TBitmap32& frame) const;
    // The item's caption; nothing for an empty caption.
    void DrawCaption(const pkg::ItemRecord& item, gfx::TBitmap32& frame) const;
    // The package's mask of that index, opaque, at its own size; nothing when it cannot be loaded.
    std::optional<gfx::TBitmap32> LoadMask(const pkg::Package& package, const std::string& packageFile,
                                           std::int32_t index) const;

private:
    struct OtherMonitor {
        gfx::IntRect rect;
        gfx::TBitmap32 desktop;  // what the desktop showed there at start-up, for a desktop background
    };

    void PaintBackground(const pkg::PackageHeader& header);
    void PaintGradientAndPicture(gfx::TBitmap32& frame) const;

    gfx::TBitmap32 backg_;
    std::vector<OtherMonitor> others_;
    std::int32_t gradientStyle_ = 0;
    gfx::TColor color1_ = 0;
    gfx::TColor color2_ = 0;
    std::optional<gfx::TBitmap32> bgimg_;
    std::int32_t bgimgMode_ = 0;
    bool desktop_ = false;
    std::optional<gfx::TBitmap32> logo_;
    gfx::IntPoint logoOffset_;
    std::int32_t logoPosition_ = 0;
};

}  // namespace show
