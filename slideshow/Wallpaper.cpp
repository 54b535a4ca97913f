#include "slideshow/Wallpaper.h"

#include <vector>

#include "common/Paths.h"
#include "common/Trace.h"
#include "gfx/decode/PictureFile.h"
#include "package/Pieces.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "slideshow/BitmapFile.h"

namespace show {

namespace {

constexpr char kFileName[] = "Screen Saver Wallpaper.bmp";
constexpr char kOwnFolder[] = "Tavolisk";  // the maker's name, as in the settings key
constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// The picture as a device bitmap of its size shows it: the first frame in its place, on black
// where it is transparent.
std::optional<gfx::TBitmap32> DecodeForWallpaper(const std::string& file, std::string& why) {
    auto picture = gfx::LoadPictureFile(file, &why);
    if (!picture || picture->frames.empty() || picture->size.width <= 0 || picture->size.height <= 0) {
        return std::nullopt;
    }
    gfx::TBitmap32 screen(picture->size.width, picture->size.height, gfx::kOpaqueBlack);
    gfx::TBitmap32& first = picture->frames[0].bitmap;
    first.SetDrawMode(gfx::DrawMode::Blend);
    first.DrawTo(screen, picture->frames[0].position);
    return screen;
}

// A place for the wallpaper file, and the folder to make for it first (the user's own one).
struct Target {
    std::string path;
    std::string folder;
};

std::vector<Target> Targets() {
    std::vector<Target> targets;
    if (const std::string windows = plat::WindowsFolder(); !windows.empty()) {
        targets.push_back({plat::JoinPath(windows, kFileName), {}});
    }
    if (const auto own = plat::AppDataFolder(); own && !own->empty()) {
        const std::string folder = plat::JoinPath(*own, kOwnFolder);
        targets.push_back({plat::JoinPath(folder, kFileName), folder});
    }
    return targets;
}

// Writes the wallpaper file to the first place that takes it.
std::optional<std::string> WriteWallpaperFile(const std::string& copy, bool asStored) {
    std::optional<gfx::TBitmap32> picture;
    if (!asStored) {
        std::string why = "it has no picture";
        picture = DecodeForWallpaper(copy, why);
        if (!picture) {
            core::Trace("Wallpaper: the picture cannot be decoded: " + why);
            return std::nullopt;
        }
    }
    for (const Target& target : Targets()) {
        try {
            if (!target.folder.empty()) {
                plat::CreateFolder(target.folder);
            }
            if (asStored) {
                plat::CopyFileReplacing(copy, target.path);
            } else {
                WriteBitmapFile(target.path, *picture);
            }
            return target.path;
        } catch (const plat::FileError& e) {
            core::Trace(std::string("Wallpaper: ") + e.what());
        }
    }
    return std::nullopt;
}

void WriteDesktopValues(const std::string& path, std::int32_t stretch) {
    const auto key = plat::RegistryKey::Open(kDesktopKey, true);
    if (!key) {
        return;
    }
    try {
        key->WriteString("Wallpaper", path);
        key->WriteString("TileWallpaper", "0");
        key->WriteString("WallpaperStyle", stretch == 1 ? "2" : "0");
        key->WriteString("WallpaperOriginX", "0");
        key->WriteString("WallpaperOriginY", "0");
    } catch (const plat::RegistryError& e) {
        core::Trace(std::string("Wallpaper: ") + e.what());
    }
}

}  // namespace

std::vector<std::string> WallpaperPaths() {
    std::vector<std::string> paths;
    for (const Target& target : Targets()) {
        paths.push_back(target.path);
    }
    return paths;
}

void DrawWallpaperNotice(plat::Surface& surface) {
    static const std::string kNotice = "Setting this picture as wallpaper";
    plat::Font font;
    font.name = "Tahoma";
    font.size = 8;
    const gfx::IntPoint at{100, 200};
    const gfx::IntSize size = plat::MeasureText(font, kNotice);
    // A fresh canvas's brush is white under its text.
    surface.Bitmap().FillRect(gfx::IntRect::FromSize(at.x, at.y, size.width, size.height), 0xFFFFFFFFu);
    plat::RenderText(surface.Bitmap(), at, font, kNotice);
    surface.Changed();
}

std::optional<std::string> SetItemAsWallpaper(const pkg::Package& package, const std::string& packageFile,
                                              std::int32_t index, std::int32_t stretch) {
    const auto piece = pkg::WallpaperItemPiece(package, index);
    const auto copy = piece ? pkg::ExtractPiece(packageFile, *piece) : std::nullopt;
    if (!copy) {
        core::Trace("Wallpaper: the item cannot be taken out");
        return std::nullopt;
    }
    const bool asStored = core::UpperCase(core::ExtractFileExt(*copy)) == ".BMP";
    const auto written = WriteWallpaperFile(*copy, asStored);
    plat::RemoveFile(*copy);
    if (!written) {
        return std::nullopt;  // the desktop keeps the wallpaper it had
    }
    WriteDesktopValues(*written, stretch);
    plat::SetDesktopWallpaper(*written);
    core::Trace("Wallpaper " + *written);
    return written;
}

}  // namespace show
