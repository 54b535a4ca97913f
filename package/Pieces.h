#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "package/PackageFormat.h"

namespace pkg {

// Where one piece of the package lies and the temporary file it is taken out to:
// TempFolder() + prefix + extension.
struct Piece {
    std::int64_t offset = 0;      // absolute position in the file
    std::int64_t size = 0;        // length as a file
    std::int64_t storedSize = 0;  // length of the zlib stream when compressed
    bool compressed = false;
    std::string prefix;           // "SSIMG", "SSSND", ...
    std::string ext;              // with its dot

    std::string FileName() const { return prefix + ext; }
};

// Each returns nothing when the record does not exist or its extension is not a safe one.
std::optional<Piece> ItemPiece(const Package& package, std::int32_t index);
std::optional<Piece> WallpaperItemPiece(const Package& package, std::int32_t index);
std::optional<Piece> TrackPiece(const Package& package, std::int32_t index);
std::optional<Piece> EntrySoundPiece(const Package& package, std::int32_t index);
std::optional<Piece> MaskPiece(const Package& package, std::int32_t index);
std::optional<Piece> BackgroundPiece(const PackageHeader& header);
std::optional<Piece> LogoPiece(const PackageHeader& header);
std::optional<Piece> ExitBannerPiece(const PackageHeader& header);
std::optional<Piece> PreviewPiece(const PackageHeader& header);
std::optional<Piece> ConfigBannerPiece(const PackageHeader& header);

// Takes a piece out of the given package file into the temporary folder; returns the file's path,
// or nothing when the piece could not be written whole.
std::optional<std::string> ExtractPiece(const std::string& packageFile, const Piece& piece);

}  // namespace pkg
