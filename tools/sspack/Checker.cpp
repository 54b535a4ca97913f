#include "tools/sspack/Checker.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <type_traits>

#include "package/ExtractBlob.h"
#include "package/PackageLayout.h"
#include "package/PackageReader.h"
#include "package/Pieces.h"
#include "tools/sspack/Ansi.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/JsonValues.h"
#include "tools/sspack/MediaCheck.h"
#include "tools/sspack/PictureCheck.h"
#include "transitions/EffectNames.h"

namespace fs = std::filesystem;

namespace sspack {

const char* const kNoPackage = "this file holds no screen-saver package";

namespace {

// Why the screen saver would skip a piece taken out to a file; nothing when it would not.
using PieceContent = std::function<std::optional<std::string>(const std::string& file)>;

// A fresh folder for the extracted pieces, removed with its content.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path candidate = fs::temp_directory_path() / ("sspack-check-" + std::to_string(random()));
            if (fs::create_directory(candidate)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot make a temporary folder");
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

// How one piece is named in messages: "items[2]" with its record's field names, or a fixed piece
// with the header's.
struct PieceNames {
    std::string label;       // "items[2]", "background"
    std::string sizeField;   // "items[2].BlobSize", "header.BackgroundSize"
    std::string storedField; // "items[2].BlobStoredSize", "header.BackgroundStoredSize"
    std::string offsetField; // "items[2].BlobOffset", or empty for segments
    std::string extField;    // "items[2].ItemExt", "header.BackgroundExt"
};

class Checker {
public:
    explicit Checker(std::string path) : path_(std::move(path)) {}

    std::vector<std::string> Run();

private:
    void Problem(const std::string& where, const std::string& what) { problems_.push_back(where + ": " + what); }

    void TableLengths();
    void Effects(const std::string& where, const std::string& selection);
    void Index(const std::string& where, std::int32_t index, std::size_t count, const char* table);
    template <typename Record, typename Content>
    void TablePieces(const char* table, const std::vector<Record>& records, const char* extField,
                     std::optional<pkg::Piece> (*piece)(const pkg::Package&, std::int32_t), Content content);
    void FixedPieces();
    void Piece(const PieceNames& names, const std::optional<pkg::Piece>& piece, std::int64_t size,
               std::int64_t storedSize, const std::string& ext, std::int64_t recordOffset, const PieceContent& content);

    std::string path_;
    pkg::Package package_;
    ScratchFolder scratch_;
    std::vector<std::string> problems_;
};

std::vector<std::string> Checker::Run() {
    try {
        package_ = pkg::ReadPackage(path_);
    } catch (const pkg::NoPackageError&) {
        problems_.emplace_back(kNoPackage);
        return problems_;
    } catch (const pkg::PackageError& e) {
        Problem("package", e.what());
        return problems_;
    }
    if (package_.items.empty()) {
        problems_.emplace_back(kNoItems);
    }
    TableLengths();
    Effects("strings.Effect", package_.strings[pkg::PackageString::Effect]);
    for (std::size_t i = 0; i < package_.items.size(); ++i) {
        const auto& item = package_.items[i];
        const std::string at = Element("items", i);
        Index(at + ".ItemMaskIndex", item.ItemMaskIndex, package_.masks.size(), "mask table");
        Index(at + ".ItemEnterSound", item.ItemEnterSound, package_.entrySounds.size(), "entry-sound table");
        Effects(at + ".ItemEffects", item.ItemEffects);
    }
    TablePieces("items", package_.items, "ItemExt", pkg::ItemPiece,
                [](const std::string& file, const pkg::ItemRecord& r) { return ItemProblem(file, r.ItemExt); });
    TablePieces("masks", package_.masks, nullptr, pkg::MaskPiece,
                [](const std::string& file, const pkg::MaskRecord& r) { return MaskProblem(file, r.Kind); });
    TablePieces("entrySounds", package_.entrySounds, "Ext", pkg::EntrySoundPiece,
                [](const std::string& file, const pkg::EntrySoundRecord&) { return SoundProblem(file); });
    TablePieces("music", package_.sounds, "ItemExt", pkg::TrackPiece,
                [](const std::string& file, const pkg::SoundRecord&) { return SoundProblem(file); });
    FixedPieces();
    return problems_;
}

// The reader only needs the tables to be long enough; a writer keeps them exact.
void Checker::TableLengths() {
    const pkg::PackageHeader& h = package_.header;
    const struct {
        const char* length;
        std::int32_t value;
        const char* count;
        std::int32_t records;
        std::size_t recordSize;
    } tables[] = {
        {"ItemTableSize", h.ItemTableSize, "ItemCount", h.ItemCount, pkg::kItemRecordSize},
        {"MaskTableSize", h.MaskTableSize, "MaskCount", h.MaskCount, pkg::kMaskRecordSize},
        {"EntrySoundTableSize", h.EntrySoundTableSize, "EntrySoundCount", h.EntrySoundCount,
         pkg::kEntrySoundRecordSize},
        {"SoundTableSize", h.SoundTableSize, "SoundCount", h.SoundCount, pkg::kSoundRecordSize},
    };
    for (const auto& t : tables) {
        if (std::int64_t{t.value} != std::int64_t{t.records} * static_cast<std::int64_t>(t.recordSize)) {
            Problem(std::string("header.") + t.length, std::to_string(t.value) + " is not " + t.count + " " +
                                                           std::to_string(t.records) + " x " +
                                                           std::to_string(t.recordSize));
        }
    }
}

void Checker::Effects(const std::string& where, const std::string& selection) {
    for (std::size_t i = 0; i < selection.size(); ++i) {
        const int code = static_cast<unsigned char>(selection[i]);
        if (code < 1 || code > trans::kEffectCount) {
            Problem(where, "code " + std::to_string(code) + " at position " + std::to_string(i) +
                               " is not an effect 1.." + std::to_string(trans::kEffectCount));
        }
    }
}

void Checker::Index(const std::string& where, std::int32_t index, std::size_t count, const char* table) {
    if (index < -1 || (index >= 0 && static_cast<std::size_t>(index) >= count)) {
        Problem(where, std::to_string(index) + " points past the " + table + " (" + std::to_string(count) +
                           " entries)");
    }
}

template <typename Record, typename Content>
void Checker::TablePieces(const char* table, const std::vector<Record>& records, const char* extField,
                          std::optional<pkg::Piece> (*piece)(const pkg::Package&, std::int32_t), Content content) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        const std::string at = Element(table, i);
        std::string ext;
        if constexpr (std::is_same_v<Record, pkg::EntrySoundRecord>) {
            ext = r.Ext;
        } else if constexpr (std::is_same_v<Record, pkg::ItemRecord>) {
            ext = r.ItemExt;
        }
        const PieceNames names{at, at + ".BlobSize", at + ".BlobStoredSize", at + ".BlobOffset",
                               extField != nullptr ? at + "." + extField : at};
        Piece(names, piece(package_, static_cast<std::int32_t>(i)), r.BlobSize, r.BlobStoredSize, ext, r.BlobOffset,
              [&](const std::string& file) { return content(file, r); });
    }
}

void Checker::FixedPieces() {
    const pkg::PackageHeader& h = package_.header;
    const auto names = [](const char* label, const char* size, const char* stored, const char* ext) {
        const std::string header = "header.";
        return PieceNames{label, header + size, header + stored, "", ext != nullptr ? header + ext : label};
    };
    const auto picture = [](const std::string& ext) {
        return [ext](const std::string& file) { return PictureProblem(file, ext); };
    };
    if (h.BackgroundStoredSize > 0) {
        Piece(names("background", "BackgroundSize", "BackgroundStoredSize", "BackgroundExt"), pkg::BackgroundPiece(h),
              h.BackgroundSize, h.BackgroundStoredSize, h.BackgroundExt, 0, picture(h.BackgroundExt));
    }
    if (h.LogoStoredSize > 0) {
        Piece(names("logo", "LogoSize", "LogoStoredSize", "LogoExt"), pkg::LogoPiece(h), h.LogoSize, h.LogoStoredSize,
              h.LogoExt, 0, picture(h.LogoExt));
    }
    if (h.ExitBannerStoredSize > 0) {
        Piece(names("exitBanner", "ExitBannerSize", "ExitBannerStoredSize", "ExitBannerExt"), pkg::ExitBannerPiece(h),
              h.ExitBannerSize, h.ExitBannerStoredSize, h.ExitBannerExt, 0, picture(h.ExitBannerExt));
    }
    if (h.PreviewImageSize > 0) {
        Piece(names("previewImage", "PreviewImageSize", "PreviewImageSize", nullptr), pkg::PreviewPiece(h),
              h.PreviewImageSize, 0, "", 0, PreviewProblem);
    }
    // The runtime never takes these two out by name; they are checked as plain stored bytes.
    const auto stored = [&](pkg::Segment segment, const char* file) {
        return pkg::Piece{pkg::SegmentStart(h, segment), pkg::SegmentLength(h, segment), 0, false, file, ".BIN"};
    };
    if (h.BannerImageSize > 0) {
        Piece(names("configBanner", "BannerImageSize", "BannerImageSize", nullptr),
              stored(pkg::Segment::ConfigBanner, "SSBANNER"), h.BannerImageSize, 0, "", 0, {});
    }
    if (h.FlashPlayerSize > 0) {
        Piece(names("flashPlayer", "FlashPlayerSize", "FlashPlayerSize", nullptr),
              stored(pkg::Segment::FlashPlayer, "FLASH"), h.FlashPlayerSize, 0, "", 0, {});
    }
}

void Checker::Piece(const PieceNames& names, const std::optional<pkg::Piece>& piece, std::int64_t size,
                    std::int64_t storedSize, const std::string& ext, std::int64_t recordOffset,
                    const PieceContent& content) {
    if (size < 0) {
        Problem(names.sizeField, std::to_string(size) + " is negative");
        return;
    }
    if (storedSize < 0) {
        Problem(names.storedField, std::to_string(storedSize) + " is negative");
        return;
    }
    if (!piece) {
        Problem(names.extField, Shown(Json(AnsiToUtf8(ext))) +
                                    " is not a safe extension (a dot and 1-7 letters, digits or underscores)");
        return;
    }
    const pkg::PackageHeader& h = package_.header;
    const std::int64_t length = piece->compressed ? piece->storedSize : piece->size;
    const std::int64_t begin = pkg::PackageStart(h);
    const std::int64_t end = pkg::TrailerStart(h);
    if (piece->offset < begin || piece->offset + length > end) {
        Problem(names.offsetField.empty() ? names.label : names.offsetField,
                std::to_string(recordOffset) + " puts the piece's " + std::to_string(length) + " bytes at " +
                    std::to_string(piece->offset) + ", outside the package (" + std::to_string(begin) + ".." +
                    std::to_string(end) + ")");
        return;
    }
    const std::string target = scratch_.File(piece->FileName());
    const bool extracted =
        pkg::ExtractBlob(path_, target, piece->compressed, piece->size, piece->storedSize, piece->offset);
    std::error_code ec;
    const auto written = extracted ? static_cast<std::int64_t>(fs::file_size(target, ec)) : -1;
    const auto problem = extracted && written == size && content ? content(target) : std::nullopt;
    fs::remove(target, ec);
    if (problem) {
        Problem(names.label, *problem);
    } else if (!extracted) {
        Problem(piece->compressed ? names.storedField : names.label,
                piece->compressed ? "the " + std::to_string(piece->storedSize) +
                                        "-byte zlib stream does not inflate whole within " + std::to_string(size) +
                                        " bytes"
                                  : std::string("the piece cannot be copied out"));
    } else if (written != size) {
        Problem(names.sizeField, std::to_string(size) + " declared, the piece comes out with " +
                                     std::to_string(written) + " bytes");
    }
}

}  // namespace

std::vector<std::string> CheckPackage(const std::string& path) { return Checker(path).Run(); }

}  // namespace sspack
