#include "package/PreviewImage.h"

#include "package/PackageReader.h"
#include "package/Pieces.h"

namespace pkg {

namespace {

// A picture stored as is in one of the package's fixed segments.
std::optional<std::string> ExtractStoredPicture(const std::string& saverFile, std::int32_t PackageHeader::*size,
                                                std::optional<Piece> (*pieceOf)(const PackageHeader&)) {
    try {
        PackageHeader header;
        {
            PackageReader reader(saverFile);
            // Positions count from the real size of the file, whatever the stored size slot says.
            header = reader.ReadHeader();
        }
        if (header.*size <= 0) {
            return std::nullopt;
        }
        const auto piece = pieceOf(header);
        return piece ? ExtractPiece(saverFile, *piece) : std::nullopt;
    } catch (const PackageError&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> ExtractPreviewImage(const std::string& saverFile) {
    return ExtractStoredPicture(saverFile, &PackageHeader::PreviewImageSize, PreviewPiece);
}

std::optional<std::string> ExtractConfigBanner(const std::string& saverFile) {
    return ExtractStoredPicture(saverFile, &PackageHeader::BannerImageSize, ConfigBannerPiece);
}

}  // namespace pkg
