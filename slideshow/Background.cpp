#include "slideshow/Background.h"

#include "common/Random.h"
#include "gfx/decode/PictureFile.h"
#include "package/PackageReader.h"
#include "package/Pieces.h"
#include "slideshow/FirstFrame.h"
#include "slideshow/Layout.h"

namespace show {

namespace {

gfx::TColor RandomColor() {
    auto channel = [] { return static_cast<std::uint8_t>(core::Random(256)); };
    const std::uint8_t r = channel();
    const std::uint8_t g = channel();
    const std::uint8_t b = channel();
    return gfx::TColorFromRgb(r, g, b);
}

void DrawFitted(gfx::TBitmap32& backg, const gfx::TBitmap32& picture) {
    picture.DrawTo(backg, FitRect(backg.Width(), backg.Height(), picture.Width(), picture.Height()));
}

}  // namespace

void RandomizeBackground(pkg::PackageHeader& header) {
    if (header.RandomColors) {
        header.BackgroundColor = RandomColor();
        header.BackgroundColor2 = RandomColor();
    }
    if (header.RandomGradientStyle) {
        header.GradientStyle = core::Random(8) + 1;
    }
}

gfx::TBitmap32 LoadBackgroundPicture(const pkg::PackageHeader& header, const std::string& packageFile) {
    const auto piece = pkg::BackgroundPiece(header);
    if (!piece) {
        throw pkg::PackageError("background picture: extension \"" + header.BackgroundExt + "\" is not usable");
    }
    const auto file = pkg::ExtractPiece(packageFile, *piece);
    if (!file) {
        throw pkg::PackageError("background picture: cannot be taken out of the package");
    }
    const auto picture = gfx::LoadPictureFile(*file);
    if (!picture) {
        throw pkg::PackageError("background picture: " + *file + " cannot be decoded");
    }
    gfx::TBitmap32 bitmap = FirstFrameOf(*picture);
    bitmap.SetDrawMode(gfx::DrawMode::Blend);
    return bitmap;
}

void DrawBackgroundPicture(gfx::TBitmap32& backg, const gfx::TBitmap32& picture, std::int32_t mode) {
    const std::int32_t w = backg.Width();
    const std::int32_t h = backg.Height();
    const std::int32_t pw = picture.Width();
    const std::int32_t ph = picture.Height();
    if (picture.Empty() || backg.Empty()) {
        return;  // nothing to draw, and tiling by 0 would never end
    }
    if (mode == kBackgroundTiled) {
        for (std::int32_t y = 0; y < h; y += ph) {
            for (std::int32_t x = 0; x < w; x += pw) {
                picture.DrawTo(backg, gfx::IntPoint{x, y});
            }
        }
        return;
    }
    const std::int32_t left = (w - pw) / 2;
    const std::int32_t top = (h - ph) / 2;
    if (mode != kBackgroundFitted && left >= 0 && top >= 0) {
        picture.DrawTo(backg, gfx::IntPoint{left, top});
    } else {
        DrawFitted(backg, picture);
    }
}

}  // namespace show
