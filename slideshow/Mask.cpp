#include "slideshow/Mask.h"

#include <exception>

#include "gfx/decode/PictureFile.h"
#include "package/Pieces.h"
#include "package/TempFolder.h"
#include "platform/Files.h"
#include "slideshow/FirstFrame.h"

namespace show {

gfx::TBitmap32 MakeMask(const gfx::TPicture& picture, std::uint8_t kind) {
    gfx::TBitmap32 still = FirstFrameOf(picture);
    if (kind == 0) {
        still.MakeOpaque();
        return still;
    }
    gfx::TBitmap32 mask(still.Width(), still.Height(), gfx::kOpaqueBlack);
    still.SetDrawMode(gfx::DrawMode::Blend);
    still.DrawTo(mask, gfx::IntPoint{0, 0});
    return mask;
}

std::optional<gfx::TBitmap32> LoadMask(const pkg::Package& package, const std::string& packageFile,
                                       std::int32_t index) {
    const auto piece = pkg::MaskPiece(package, index);
    if (!piece) {
        return std::nullopt;
    }
    return LoadMaskPiece(packageFile, *piece, package.masks[static_cast<std::size_t>(index)].Kind);
}

std::optional<gfx::TBitmap32> LoadMaskPiece(const std::string& packageFile, const pkg::Piece& piece,
                                            std::uint8_t kind) {
    // Deleted whatever happens: a piece that failed half-way must not stay behind either.
    const std::string path = pkg::TempFolder() + piece.FileName();
    std::optional<gfx::TBitmap32> mask;
    try {
        if (const auto file = pkg::ExtractPiece(packageFile, piece)) {
            if (const auto picture = gfx::LoadPictureFile(*file)) {
                mask = MakeMask(*picture, kind);
            }
        }
    } catch (const std::exception&) {
        mask.reset();
    }
    plat::RemoveFile(path);
    return mask;
}

}  // namespace show
