#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/PackageFormat.h"
#include "platform/Surface.h"

namespace show {

// Where the wallpaper file goes, in the order tried: "Screen Saver Wallpaper.bmp" in the Windows
// folder, else the same name in a folder of the user's own, since a standard user may not write
// the Windows folder.
std::vector<std::string> WallpaperPaths();

// "Setting this picture as wallpaper" at (100, 200) of the surface's bitmap, black on white, shown
// at once; it stays until the next item replaces the picture.
void DrawWallpaperNotice(plat::Surface& surface);

// Makes item `index` as the package stores it (not the composed frame) the desktop wallpaper: a
// Windows bitmap copied byte for byte, any other picture decoded (a GIF's first frame) and saved as
// one; then the current user's desktop values, "WallpaperStyle" "2" when `stretch` is 1 (stretch
// to fit), and the system told to apply them. Returns the file written. When the item cannot be
// taken out or decoded, or no file can be written, nothing is set and nothing returned.
std::optional<std::string> SetItemAsWallpaper(const pkg::Package& package, const std::string& packageFile,
                                              std::int32_t index, std::int32_t stretch);

}  // namespace show
