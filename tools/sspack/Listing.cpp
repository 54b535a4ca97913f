#include "tools/sspack/Listing.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "package/PackageCodec.h"
#include "package/PackageLayout.h"
#include "package/PackageReader.h"
#include "platform/Files.h"
#include "tools/sspack/Ansi.h"
#include "tools/sspack/NameResource.h"
#include "tools/sspack/RecordFields.h"
#include "tools/sspack/Units.h"

namespace sspack {

namespace {

using pkg::PackageString;
using pkg::Segment;

// Names of the strings by number; the empty ones are reserved.
constexpr const char* kStringNames[pkg::kStringCount] = {
    "SaverName", "AboutText", "WebsiteURL", "",           "",        "",       "",
    "",          "",          "",           "HelpKeyLink", "ExitLink", "BannerLink", "ExitBannerLink",
    "",          "",          "Effect",     "TranslationText",
};

// The name field lies in the runtime, well before any large piece.
constexpr std::int64_t kRuntimeScanLimit = 64 << 20;

// The header as stored: the reader replaces FileSizeSlot by the file's size.
pkg::PackageHeader StoredHeader(plat::File& file) {
    std::uint8_t header[pkg::kHeaderSize];
    file.Seek(file.Size() - static_cast<std::int64_t>(pkg::kTrailerSize));
    file.ReadExact(header, sizeof header);
    return pkg::DecodeHeader(header);
}

Json NameResourceOf(plat::File& file, std::int64_t runtimeSize) {
    const auto length = std::clamp<std::int64_t>(runtimeSize, 0, kRuntimeScanLimit);
    std::vector<std::uint8_t> runtime(static_cast<std::size_t>(length));
    file.Seek(0);
    file.ReadExact(runtime.data(), runtime.size());
    const auto name = ReadNameResource(runtime);
    return name ? Json(*name) : Json(nullptr);
}

template <typename Record>
Json Fields(const Record& record, std::span<const Field<Record>> fields) {
    Json object = Json::object();
    for (const auto& field : fields) {
        object[std::string(field.name)] = FieldValue(record, field);
    }
    return object;
}

template <typename Record>
Json Table(const std::vector<Record>& records, std::span<const Field<Record>> fields, std::int64_t origin) {
    Json table = Json::array();
    for (std::size_t i = 0; i < records.size(); ++i) {
        Json entry = Fields(records[i], fields);
        entry["index"] = i;
        entry["position"] = origin + records[i].BlobOffset;
        entry["compressed"] = records[i].BlobStoredSize > 0;
        table.push_back(std::move(entry));
    }
    return table;
}

Json StringsOf(const pkg::PackageStrings& strings) {
    Json out = Json::object();
    Json reserved = Json::object();
    for (std::size_t i = 0; i < pkg::kStringCount; ++i) {
        const std::string& value = strings.values[i];
        if (i == static_cast<std::size_t>(PackageString::Effect)) {
            out["Effect"] = EffectNumbers(value);
        } else if (*kStringNames[i] == '\0') {
            reserved[std::to_string(i + 1)] = AnsiToUtf8(value);
        } else {
            out[kStringNames[i]] = AnsiToUtf8(value);
        }
    }
    out["reserved"] = std::move(reserved);
    return out;
}

Json FixedPiece(const pkg::PackageHeader& h, Segment segment, std::int32_t size, bool compressed) {
    const std::int32_t stored = pkg::SegmentLength(h, segment);
    return {{"present", stored > 0},
            {"position", pkg::SegmentStart(h, segment)},
            {"size", size},
            {"storedSize", stored},
            {"compressed", compressed}};
}

Json PiecesOf(const pkg::PackageHeader& h) {
    Json pieces = Json::object();
    pieces["flashPlayer"] = FixedPiece(h, Segment::FlashPlayer, h.FlashPlayerSize, false);
    pieces["previewImage"] = FixedPiece(h, Segment::PreviewImage, h.PreviewImageSize, false);
    pieces["configBanner"] = FixedPiece(h, Segment::ConfigBanner, h.BannerImageSize, false);
    pieces["exitBanner"] = FixedPiece(h, Segment::ExitBanner, h.ExitBannerSize, true);
    pieces["exitBanner"]["ext"] = AnsiToUtf8(h.ExitBannerExt);
    pieces["logo"] = FixedPiece(h, Segment::Logo, h.LogoSize, true);
    pieces["logo"]["ext"] = AnsiToUtf8(h.LogoExt);
    pieces["background"] = FixedPiece(h, Segment::Background, h.BackgroundSize, true);
    pieces["background"]["ext"] = AnsiToUtf8(h.BackgroundExt);
    return pieces;
}

// ---- text ----

constexpr std::size_t kShortText = 60;
constexpr std::size_t kShortEffects = 16;

// Upper-case hex digits after a prefix, in one formatted write.
std::string Hex(const char* prefix, std::int64_t v, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%s%0*llX", prefix, digits, static_cast<unsigned long long>(v) & 0xFFFFFFFFULL);
    return text;
}

// Quoted, with control characters escaped and anything past `limit` characters cut.
std::string Quote(const std::string& utf8, std::size_t limit = kShortText) {
    std::string out = "\"";
    std::size_t chars = 0;
    std::size_t total = 0;
    for (const char c : utf8) {
        total += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const bool starts = (c & 0xC0) != 0x80;
        if (starts && ++chars > limit) {
            return out + "\"... (" + std::to_string(total) + " characters)";
        }
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += Hex("\\x", c, 2);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string EffectsText(const Json& numbers) {
    if (numbers.empty()) {
        return "none";
    }
    std::string out = std::to_string(numbers.size()) + (numbers.size() == 1 ? " effect" : " effects");
    for (std::size_t i = 0; i < numbers.size() && i < kShortEffects; ++i) {
        out += (i == 0 ? ": " : " ") + std::to_string(numbers[i].get<int>());
    }
    return out + (numbers.size() > kShortEffects ? " ..." : "");
}

template <typename Record>
std::string ValueText(const Json& value, const Field<Record>& field) {
    switch (field.shape) {
        case FieldShape::Color: return ColorText(value.get<std::int64_t>());
        case FieldShape::Text: return Quote(value.get<std::string>());
        case FieldShape::Effects: return EffectsText(value);
        default: return value.dump();
    }
}

std::string Pad(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string StorageText(std::int64_t size, std::int64_t storedSize, bool compressed) {
    return std::to_string(size) + " bytes, " +
           (compressed ? "compressed to " + std::to_string(storedSize) + " bytes" : std::string("stored as is"));
}

template <typename Record>
void TableText(std::ostringstream& out, const char* title, const Json& table, std::span<const Field<Record>> fields,
               const char* offsetNote) {
    out << "\n" << title << " (" << table.size() << ")\n";
    for (const auto& entry : table) {
        out << "  [" << entry["index"].get<std::size_t>() << "] at " << entry["position"].dump() << " (offset "
            << entry["BlobOffset"].dump() << offsetNote << "): "
            << StorageText(entry["BlobSize"].get<std::int64_t>(), entry["BlobStoredSize"].get<std::int64_t>(),
                           entry["compressed"].get<bool>())
            << "\n";
        std::string line;
        for (const auto& field : fields.subspan(3)) {  // the blob fields are on the first line
            const std::string item = std::string(field.name) + " " + ValueText(entry[std::string(field.name)], field);
            if (!line.empty() && line.size() + item.size() > 100) {
                out << "      " << line << "\n";
                line.clear();
            }
            line += (line.empty() ? "" : ", ") + item;
        }
        out << "      " << line << "\n";
    }
}

}  // namespace

Json ListPackage(const std::string& path) {
    const pkg::Package p = pkg::ReadPackage(path);
    const pkg::PackageHeader& h = p.header;
    Json out;
    out["file"] = path;
    out["fileSize"] = h.FileSizeSlot;
    out["packageStart"] = pkg::PackageStart(h);
    try {
        plat::File file = plat::File::OpenRead(path);
        pkg::PackageHeader stored = h;
        stored.FileSizeSlot = StoredHeader(file).FileSizeSlot;
        out["header"] = Fields(stored, HeaderFields());
        out["nameResource"] = NameResourceOf(file, pkg::PackageStart(h));
    } catch (const plat::FileError& e) {
        throw pkg::PackageError(std::string("cannot read the file: ") + e.what());
    }
    out["magic"] = std::string(pkg::kMagic);
    out["strings"] = StringsOf(p.strings);
    out["items"] = Table(p.items, ItemFields(), pkg::PackageStart(h));
    out["masks"] = Table(p.masks, MaskFields(), pkg::PackageStart(h));
    out["entrySounds"] = Table(p.entrySounds, EntrySoundFields(), pkg::PackageStart(h));
    out["music"] = Table(p.sounds, ItemFields(), pkg::SegmentStart(h, Segment::SoundTable));
    out["pieces"] = PiecesOf(h);
    return out;
}

std::string FormatListing(const Json& l) {
    std::ostringstream out;
    out << l["file"].get<std::string>() << ": " << l["fileSize"].dump() << " bytes, package at "
        << l["packageStart"].dump() << "\n";
    out << "  name resource: "
        << (l["nameResource"].is_null() ? std::string("none") : Quote(l["nameResource"].get<std::string>())) << "\n";

    out << "\nHeader\n";
    for (const auto& field : HeaderFields()) {
        out << "  " << Pad(std::string(field.name), 26) << ValueText(l["header"][std::string(field.name)], field)
            << "\n";
    }

    out << "\nStrings\n";
    const Json& strings = l["strings"];
    for (std::size_t i = 0; i < pkg::kStringCount; ++i) {
        const std::string number = std::to_string(i + 1);
        out << "  " << Pad(number, 3);
        if (i == static_cast<std::size_t>(PackageString::Effect)) {
            out << Pad("Effect", 17) << EffectsText(strings["Effect"]) << "\n";
        } else if (*kStringNames[i] == '\0') {
            out << Pad("(reserved)", 17) << Quote(strings["reserved"][number].get<std::string>()) << "\n";
        } else {
            out << Pad(kStringNames[i], 17) << Quote(strings[kStringNames[i]].get<std::string>()) << "\n";
        }
    }

    TableText(out, "Items", l["items"], ItemFields(), "");
    TableText(out, "Masks", l["masks"], MaskFields(), "");
    TableText(out, "Entry sounds", l["entrySounds"], EntrySoundFields(), "");
    TableText(out, "Music", l["music"], ItemFields().first(4), " from the sound table");

    out << "\nPieces\n";
    for (const char* name : {"flashPlayer", "previewImage", "configBanner", "exitBanner", "logo", "background"}) {
        const Json& piece = l["pieces"][name];
        out << "  " << Pad(name, 14);
        if (!piece["present"].get<bool>()) {
            out << "absent\n";
            continue;
        }
        out << "at " << piece["position"].dump() << ": "
            << StorageText(piece["size"].get<std::int64_t>(), piece["storedSize"].get<std::int64_t>(),
                           piece["compressed"].get<bool>());
        if (piece.contains("ext")) {
            out << ", ext " << Quote(piece["ext"].get<std::string>());
        }
        out << "\n";
    }
    return out.str();
}

}  // namespace sspack
