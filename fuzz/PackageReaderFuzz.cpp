// Any file as a built saver: the reader either reads it or says why not, and every piece it then
// names is taken out without leaving the temporary folder or exceeding its declared size.

#include <cstdint>
#include <filesystem>

#include "fuzz/FuzzSupport.h"
#include "package/PackageReader.h"
#include "package/Pieces.h"
#include "package/PreviewImage.h"

namespace {

void TakeOut(const std::string& file, const std::optional<pkg::Piece>& piece) {
    if (!piece) {
        return;
    }
    if (const auto path = pkg::ExtractPiece(file, *piece)) {
        const auto size = static_cast<std::int64_t>(std::filesystem::file_size(*path));
        if (path->rfind(fuzz::PieceFolder(), 0) != 0 || size > piece->size) {
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PieceFolder();
    const std::string file = fuzz::WriteInput(data, size);
    pkg::Package package;
    try {
        package = pkg::ReadPackage(file);
    } catch (const pkg::PackageError&) {
        pkg::ExtractPreviewImage(file);
        fuzz::ClearPieces();
        return 0;
    }
    // A handful of each kind keeps a run short.
    for (std::int32_t i = 0; i < 4; ++i) {
        TakeOut(file, pkg::ItemPiece(package, i));
        TakeOut(file, pkg::TrackPiece(package, i));
        TakeOut(file, pkg::MaskPiece(package, i));
        TakeOut(file, pkg::EntrySoundPiece(package, i));
    }
    TakeOut(file, pkg::BackgroundPiece(package.header));
    TakeOut(file, pkg::LogoPiece(package.header));
    TakeOut(file, pkg::ExitBannerPiece(package.header));
    TakeOut(file, pkg::PreviewPiece(package.header));
    fuzz::ClearPieces();
    return 0;
}
