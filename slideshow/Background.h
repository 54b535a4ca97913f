#pragma once

#include <cstdint>
#include <string>

#include "gfx/Bitmap32.h"
#include "package/PackageFormat.h"

namespace show {

// How the package's background picture lies on the background.
enum BackgroundImageMode : std::int32_t { kBackgroundTiled = 0, kBackgroundFitted = 1 };  // others: centred

// The package's request for random backgrounds, drawn from the run-time generator in this order:
// with RandomColors three Random(256) for red, green and blue of BackgroundColor, then three for
// BackgroundColor2; with RandomGradientStyle GradientStyle := Random(8) + 1.
void RandomizeBackground(pkg::PackageHeader& header);

// Takes the background picture out of the package file ("SSBG" + BackgroundExt, kept for the next
// run to overwrite) and decodes it. Throws pkg::PackageError when it cannot be taken out or
// decoded: a package whose background is unreadable is a broken package.
gfx::TBitmap32 LoadBackgroundPicture(const pkg::PackageHeader& header, const std::string& packageFile);

// Draws the picture on the background by the mode and by the picture's draw mode (the loader above
// gives blending, so that a picture's transparent parts show the background): 0 tiled from the
// top-left corner; 1 fitted with its aspect and bilinear filtering; any other value centred, or fitted when
// the picture is larger than the background.
void DrawBackgroundPicture(gfx::TBitmap32& backg, const gfx::TBitmap32& picture, std::int32_t mode);

}  // namespace show
