#include "slideshow/Logo.h"

#include <exception>

#include "gfx/decode/PictureFile.h"
#include "package/Pieces.h"
#include "platform/Colors.h"
#include "slideshow/FirstFrame.h"

namespace show {

gfx::TBitmap32 MakeLogo(const gfx::TPicture& picture, gfx::TColor transparentColor) {
    // Opaque with the colours as stored: a GIF's transparent pixels keep its transparent colour,
    // so a logo whose key is that colour loses them again below.
    gfx::TBitmap32 logo = FirstFrameOf(picture);
    logo.MakeOpaque();
    if (transparentColor != gfx::kColorNone) {
        const gfx::Color32 key = plat::PixelColor(transparentColor);
        gfx::Color32* p = logo.Bits();
        const std::size_t count = static_cast<std::size_t>(logo.Width()) * static_cast<std::size_t>(logo.Height());
        for (std::size_t i = 0; i < count; ++i) {
            if (p[i] == key) {
                p[i] &= 0x00FFFFFFu;
            }
        }
    }
    logo.SetDrawMode(gfx::DrawMode::Blend);
    return logo;
}

std::optional<gfx::TBitmap32> LoadLogo(const pkg::PackageHeader& header, const std::string& packageFile) {
    if (header.LogoStoredSize <= 0) {
        return std::nullopt;
    }
    try {
        const auto piece = pkg::LogoPiece(header);
        const auto file = piece ? pkg::ExtractPiece(packageFile, *piece) : std::nullopt;
        const auto picture = file ? gfx::LoadPictureFile(*file) : std::nullopt;
        if (!picture) {
            return std::nullopt;
        }
        return MakeLogo(*picture, header.LogoTransparentColor);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace show
