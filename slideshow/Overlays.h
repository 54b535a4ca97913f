#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "package/PackageFormat.h"

namespace show {

// Where an object of the given size goes on a frame by a corner or centre code 0..6 (codes compare
// as unsigned numbers, so negative codes count as large) and its offsets.
gfx::IntPoint AnchorPlace(std::int32_t code, gfx::IntSize object, gfx::IntSize frame, std::int32_t dx,
                          std::int32_t dy);

// Paints one of the gradient styles 0..8 (0 paints as 2) over the whole target with the two
// package colours (0x00BBGGRR).
void PaintGradient(gfx::TBitmap32& target, std::int32_t style, gfx::TColor c1, gfx::TColor c2);

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
    // gradient, draw bgimg again.
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
