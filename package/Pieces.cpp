#include "package/Pieces.h"

#include "package/Extension.h"
#include "package/ExtractBlob.h"
#include "package/PackageLayout.h"
#include "package/TempFolder.h"

namespace pkg {

namespace {

std::optional<Piece> Make(std::int64_t offset, std::int32_t size, std::int32_t storedSize, bool compressed,
                          std::string prefix, std::string ext) {
    if (!IsSafeExtension(ext)) {
        return std::nullopt;
    }
    return Piece{offset, size, storedSize, compressed, std::move(prefix), std::move(ext)};
}

template <typename Record>
const Record* At(const std::vector<Record>& table, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        return nullptr;
    }
    return &table[static_cast<std::size_t>(index)];
}

std::optional<Piece> ItemLike(const Package& p, std::int32_t index, const char* prefix) {
    const ItemRecord* r = At(p.items, index);
    if (r == nullptr) {
        return std::nullopt;
    }
    return Make(PackageStart(p.header) + r->BlobOffset, r->BlobSize, r->BlobStoredSize, r->BlobStoredSize > 0,
                prefix, r->ItemExt);
}

}  // namespace

std::optional<Piece> ItemPiece(const Package& p, std::int32_t index) { return ItemLike(p, index, "SSIMG"); }

std::optional<Piece> WallpaperItemPiece(const Package& p, std::int32_t index) {
    return ItemLike(p, index, "SSWIMG");
}

std::optional<Piece> TrackPiece(const Package& p, std::int32_t index) {
    const SoundRecord* r = At(p.sounds, index);
    if (r == nullptr) {
        return std::nullopt;
    }
    // Track offsets count from the start of the sound table, not from PackageStart.
    return Make(SegmentStart(p.header, Segment::SoundTable) + r->BlobOffset, r->BlobSize, r->BlobStoredSize,
                r->BlobStoredSize > 0, "SSSND", r->ItemExt);
}

std::optional<Piece> EntrySoundPiece(const Package& p, std::int32_t index) {
    const EntrySoundRecord* r = At(p.entrySounds, index);
    if (r == nullptr) {
        return std::nullopt;
    }
    return Make(PackageStart(p.header) + r->BlobOffset, r->BlobSize, r->BlobStoredSize, r->BlobStoredSize > 0,
                "SSESND", r->Ext);
}

std::optional<Piece> MaskPiece(const Package& p, std::int32_t index) {
    const MaskRecord* r = At(p.masks, index);
    if (r == nullptr) {
        return std::nullopt;
    }
    const char* ext = r->Kind == 0 ? ".bmp" : r->Kind == 1 ? ".png" : ".gif";
    return Make(PackageStart(p.header) + r->BlobOffset, r->BlobSize, r->BlobStoredSize, r->BlobStoredSize > 0,
                "SSMASK", ext);
}

std::optional<Piece> BackgroundPiece(const PackageHeader& h) {
    return Make(SegmentStart(h, Segment::Background), h.BackgroundSize, h.BackgroundStoredSize, true, "SSBG",
                h.BackgroundExt);
}

std::optional<Piece> LogoPiece(const PackageHeader& h) {
    return Make(SegmentStart(h, Segment::Logo), h.LogoSize, h.LogoStoredSize, true, "SSLG", h.LogoExt);
}

std::optional<Piece> ExitBannerPiece(const PackageHeader& h) {
    return Make(SegmentStart(h, Segment::ExitBanner), h.ExitBannerSize, h.ExitBannerStoredSize, true, "SSEB",
                h.ExitBannerExt);
}

std::optional<Piece> ConfigBannerPiece(const PackageHeader& h) {
    return Make(SegmentStart(h, Segment::ConfigBanner), h.BannerImageSize, 0, false, "SSBANNER", ".BMP");
}

std::optional<Piece> PreviewPiece(const PackageHeader& h) {
    return Make(SegmentStart(h, Segment::PreviewImage), h.PreviewImageSize, 0, false, "SSIMG", ".BMP");
}

std::optional<std::string> ExtractPiece(const std::string& packageFile, const Piece& piece) {
    const std::string target = TempFolder() + piece.FileName();
    if (!ExtractBlob(packageFile, target, piece.compressed, piece.size, piece.storedSize, piece.offset)) {
        return std::nullopt;
    }
    return target;
}

}  // namespace pkg
