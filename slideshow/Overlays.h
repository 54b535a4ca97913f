#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "package/PackageFormat.h"
#include "slideshow/AnchorPlace.h"
#include "slideshow/Gradient.h"

namespace show {

// Everything a frame shows besides the item: the background `backg` (gradient or desktop, with the
// package's background picture `bgimg` on it), the logo, the items' captions, and the masks.
class TOverlays {
public:
    // Builds backg, bgimg and the logo once at start-up, from the header whose colours and style the
    // package reader has already randomised. Throws pkg::PackageError when the package has a
    // background picture that cannot be taken out or decoded (that fails the package reading).
    // The logo's failures only leave the program without a logo.
    void Build(const pkg::Package& package, const std::string& packageFile, gfx::IntSize clientSize);

    // Before an item when the package asks for a new background per item (and the background is
    // not the desktop): re-randomise the colours and style of header as at start-up, repaint the
    // gradient, draw bgimg again. Does nothing when the background is the desktop.
    void RefreshBackground(pkg::PackageHeader& header);

    const gfx::TBitmap32& Background() const { return backg_; }
    bool HasLogo() const { return logo_.has_value(); }

    // Blends the logo at its own size at its anchor place.
    void DrawLogo(gfx::TBitmap32& frame) const;
    // The item's caption; nothing for an empty caption.
    void DrawCaption(const pkg::ItemRecord& item, gfx::TBitmap32& frame) const;
    // The package's mask of that index, opaque, at its own size; nothing when it cannot be loaded.
    std::optional<gfx::TBitmap32> LoadMask(const pkg::Package& package, const std::string& packageFile,
                                           std::int32_t index) const;

private:
    void PaintBackground(const pkg::PackageHeader& header);

    gfx::TBitmap32 backg_;
    std::optional<gfx::TBitmap32> bgimg_;
    std::int32_t bgimgMode_ = 0;
    bool desktop_ = false;
    std::optional<gfx::TBitmap32> logo_;
    gfx::IntPoint logoOffset_;
    std::int32_t logoPosition_ = 0;
};

}  // namespace show
