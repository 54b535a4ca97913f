#include "package/PreviewImage.h"

#include "package/PackageReader.h"
#include "package/Pieces.h"

namespace pkg {

std::optional<std::string> ExtractPreviewImage(const std::string& saverFile) {
    try {
        PackageHeader header;
        {
            PackageReader reader(saverFile);
            // Positions count from the real size of the file, whatever the stored size slot says.
            header = reader.ReadHeader();
        }
        if (header.PreviewImageSize <= 0) {
            return std::nullopt;
        }
        const auto piece = PreviewPiece(header);
        return piece ? ExtractPiece(saverFile, *piece) : std::nullopt;
    } catch (const PackageError&) {
        return std::nullopt;
    }
}

}  // namespace pkg
