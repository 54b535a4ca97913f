#include "tools/sspack/ManifestParser.h"

#include <filesystem>
#include <fstream>
#include <limits>

#include "common/Paths.h"
#include "tools/sspack/Codes.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/HeaderSettings.h"
#include "transitions/EffectNames.h"

namespace fs = std::filesystem;

namespace sspack {

namespace {

using pkg::PackageString;

constexpr std::size_t kStringMax = 0xFFFF;  // 16-bit length
constexpr std::size_t kCountedChars = pkg::kCountedWidth - 1;
constexpr std::size_t kEntrySoundExtChars = pkg::kEntrySoundExtWidth - 1;
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

// A caption nobody has styled should still be readable: white on a black box, bottom centre.
constexpr std::int32_t kCaptionBottomCentre = 5;
constexpr std::int32_t kCaptionWhite = 0xFFFFFF;
constexpr std::int32_t kCaptionOffsetY = 20;
constexpr std::int32_t kCaptionSize = 12;

// One object of the manifest, read key by key; a missing key keeps the value given as fallback.
class ObjectReader {
public:
    ObjectReader(const Json& object, std::string path, std::initializer_list<std::string_view> known)
        : object_(object), path_(std::move(path)) {
        ExpectObject(object_, path_, known);
    }

    const std::string& Path() const { return path_; }
    std::string At(const char* key) const { return Member(path_, key); }

    const Json* Get(const char* key) const {
        const auto it = object_.find(key);
        return it == object_.end() ? nullptr : &*it;
    }

    std::int32_t Int(const char* key, std::int32_t fallback, std::int32_t min, std::int32_t max) const {
        const Json* v = Get(key);
        return v != nullptr ? ReadInt32(*v, At(key), min, max) : fallback;
    }
    std::int32_t Code(const char* key, std::int32_t fallback, const CodeTable& table, std::int32_t min,
                      std::int32_t max) const {
        const Json* v = Get(key);
        return v != nullptr ? ReadCode(*v, At(key), table, min, max) : fallback;
    }
    std::int32_t Bits(const char* key, std::int32_t fallback, const CodeTable& table) const {
        const Json* v = Get(key);
        return v != nullptr ? ReadBits(*v, At(key), table) : fallback;
    }
    bool Bool(const char* key, bool fallback) const {
        const Json* v = Get(key);
        return v != nullptr ? ReadBool(*v, At(key)) : fallback;
    }
    // The records keep their flags as 32-bit 0 or 1.
    std::int32_t Flag(const char* key, std::int32_t fallback) const {
        const Json* v = Get(key);
        return v != nullptr ? (ReadBool(*v, At(key)) ? 1 : 0) : fallback;
    }
    std::int32_t Color(const char* key, std::int32_t fallback) const {
        const Json* v = Get(key);
        return v != nullptr ? ReadColor(*v, At(key)) : fallback;
    }
    std::string Ansi(const char* key, std::string fallback, std::size_t maxBytes) const {
        const Json* v = Get(key);
        return v != nullptr ? ReadAnsi(*v, At(key), maxBytes) : fallback;
    }
    // An index into a table, or -1 for none.
    std::int32_t Index(const char* key, std::int32_t fallback, std::size_t count, const char* table) const {
        const Json* v = Get(key);
        if (v == nullptr) {
            return fallback;
        }
        const std::int32_t index = ReadInt32(*v, At(key), -1, kIntMax);
        if (index >= 0 && static_cast<std::size_t>(index) >= count) {
            Reject(At(key), Shown(*v) + " points past the " + table + " (size " + std::to_string(count) + ")");
        }
        return index;
    }
    std::string Effects(const char* key, std::string fallback, std::size_t maxCount) const {
        const Json* v = Get(key);
        return v != nullptr ? ReadEffects(*v, At(key), maxCount) : fallback;
    }

private:
    const Json& object_;
    std::string path_;
};

class Parser {
public:
    Parser(std::string base, NamedFiles files) : base_(std::move(base)), files_(files) {}

    Manifest Parse(const Json& root);

private:
    std::string ResolveFile(const Json& value, const std::string& path) const;
    std::string File(const ObjectReader& in) const;
    std::string Extension(const ObjectReader& in, const std::string& file, std::size_t width) const;

    void Strings(const ObjectReader& in, pkg::PackageStrings& strings) const;
    void Caption(const ObjectReader& in, pkg::ItemRecord& r) const;
    TableEntry<pkg::ItemRecord> Item(const ObjectReader& in, const Manifest& m) const;
    TableEntry<pkg::MaskRecord> Mask(const ObjectReader& in) const;
    TableEntry<pkg::EntrySoundRecord> EntrySound(const ObjectReader& in) const;
    TableEntry<pkg::SoundRecord> Track(const ObjectReader& in) const;

    std::string base_;
    NamedFiles files_;
};

std::string Parser::ResolveFile(const Json& value, const std::string& path) const {
    const std::string name = ReadString(value, path);
    fs::path file(name);
    if (file.is_relative()) {
        file = (fs::path(base_) / file).lexically_normal();
    }
    std::error_code ec;
    if (name.empty() ||
        (files_ == NamedFiles::MustBeReadable &&
         (!fs::is_regular_file(file, ec) || !std::ifstream(file, std::ios::binary)))) {
        Reject(path, Shown(value) + " is not a readable file");
    }
    return file.string();
}

std::string Parser::File(const ObjectReader& in) const {
    const Json* value = in.Get("file");
    if (value == nullptr) {
        Reject(in.At("file"), "missing; a piece needs its file");
    }
    return ResolveFile(*value, in.At("file"));
}

// The given extension, or the file's own upper-cased, such as ".JPG".
std::string Parser::Extension(const ObjectReader& in, const std::string& file, std::size_t width) const {
    if (const Json* given = in.Get("ext")) {
        return ReadExtension(*given, in.At("ext"), width);
    }
    const std::string ext = core::UpperCase(core::ExtractFileExt(file));
    CheckExtension(ext, in.At("ext"), width, " (from the file name)");
    return ext;
}

void Parser::Strings(const ObjectReader& in, pkg::PackageStrings& strings) const {
    const std::pair<const char*, PackageString> texts[] = {
        {"SaverName", PackageString::SaverName},
        {"AboutText", PackageString::AboutText},
        {"WebsiteURL", PackageString::WebsiteURL},
        {"HelpKeyLink", PackageString::HelpKeyLink},
        {"ExitLink", PackageString::ExitLink},
        {"BannerLink", PackageString::BannerLink},
        {"ExitBannerLink", PackageString::ExitBannerLink},
        {"TranslationText", PackageString::TranslationText},
    };
    for (const auto& [key, which] : texts) {
        strings[which] = in.Ansi(key, strings[which], kStringMax);
    }
    strings[PackageString::Effect] = in.Effects("Effect", strings[PackageString::Effect], kStringMax);
    if (const Json* value = in.Get("TranslationFile")) {
        if (in.Get("TranslationText") != nullptr) {
            Reject(in.At("TranslationFile"), Shown(*value) + " given together with TranslationText; give one");
        }
        // The table is ANSI text already; it is taken byte for byte.
        std::vector<std::uint8_t> bytes;
        try {
            bytes = ReadFileBytes(ResolveFile(*value, in.At("TranslationFile")));
        } catch (const FileIoError& e) {
            if (files_ == NamedFiles::MustBeReadable) {
                Reject(in.At("TranslationFile"), Shown(*value) + ": " + e.what());
            }
        }
        if (bytes.size() > kStringMax) {
            Reject(in.At("TranslationFile"), Shown(*value) + " holds " + std::to_string(bytes.size()) +
                                                 " bytes, more than a string's " + std::to_string(kStringMax));
        }
        strings[PackageString::TranslationText].assign(bytes.begin(), bytes.end());
    }
    if (const Json* reserved = in.Get("reserved")) {
        const ObjectReader r(*reserved, in.At("reserved"), {"4", "5", "6", "7", "8", "9", "10", "15", "16"});
        for (const auto& [key, value] : reserved->items()) {
            strings.values[std::stoul(key) - 1] = ReadAnsi(value, r.At(key.c_str()), kStringMax);
        }
    }
}

void Parser::Caption(const ObjectReader& in, pkg::ItemRecord& r) const {
    r.CaptionText = in.Ansi("text", r.CaptionText, kCountedChars);
    r.CaptionPosition = in.Code("position", r.CaptionPosition, Positions(), 0, 6);
    r.CaptionColor = in.Color("color", r.CaptionColor);
    r.CaptionOffsetX = in.Int("offsetX", r.CaptionOffsetX, kIntMin, kIntMax);
    r.CaptionOffsetY = in.Int("offsetY", r.CaptionOffsetY, kIntMin, kIntMax);
    r.CaptionBoxColor = in.Color("boxColor", r.CaptionBoxColor);
    r.CaptionFontName = in.Ansi("font", r.CaptionFontName, kCountedChars);
    r.CaptionFontStyle = in.Bits("style", r.CaptionFontStyle, FontStyles());
    r.CaptionFontSize = in.Int("size", r.CaptionFontSize, 1, 1000);
    r.CaptionNoBox = in.Flag("noBox", r.CaptionNoBox);
    r.CaptionSplitLines = in.Flag("splitLines", r.CaptionSplitLines);
    r.CaptionShadow = in.Flag("shadow", r.CaptionShadow);
}

TableEntry<pkg::ItemRecord> Parser::Item(const ObjectReader& in, const Manifest& m) const {
    TableEntry<pkg::ItemRecord> e;
    e.file = File(in);
    e.compress = in.Bool("compress", false);
    auto& r = e.record;
    r.ItemExt = Extension(in, e.file, pkg::kExtWidth);
    r.CaptionPosition = kCaptionBottomCentre;
    r.CaptionColor = kCaptionWhite;
    r.CaptionOffsetY = kCaptionOffsetY;
    r.CaptionFontSize = kCaptionSize;
    if (const Json* caption = in.Get("caption")) {
        Caption(ObjectReader(*caption, in.At("caption"),
                             {"text", "position", "color", "offsetX", "offsetY", "boxColor", "font", "style", "size",
                              "noBox", "splitLines", "shadow"}),
                r);
    }
    // -1 and -2 matter for Flash items: play to the end, with or without the end poll.
    r.ItemDuration = in.Int("duration", r.ItemDuration, -2, 86400);
    r.ItemSizeMode = in.Code("sizeMode", r.ItemSizeMode, ItemSizeModes(), -1, 5);
    r.ItemMaskIndex = in.Index("mask", r.ItemMaskIndex, m.masks.size(), "mask table");
    r.ItemEnterSound = in.Index("enterSound", r.ItemEnterSound, m.entrySounds.size(), "entry-sound table");
    r.ItemFilters = in.Bits("filters", r.ItemFilters, Filters());
    r.ItemEffects = in.Effects("effects", r.ItemEffects, kCountedChars);
    r.ItemEffectSpeed = in.Int("effectSpeed", r.ItemEffectSpeed, -1, 10);
    if (r.ItemEffectSpeed == 0) {
        Reject(in.At("effectSpeed"), "0 is not -1 or one of 1..10");
    }
    // The runtime takes an item's own effects and its own speed together, or neither.
    const bool ownEffects = in.Get("effects") != nullptr;
    if (ownEffects != (r.ItemEffectSpeed != -1)) {
        Reject(in.Path(), ownEffects ? "effects given without effectSpeed, so the screen saver would ignore them; "
                                       "give effectSpeed 1..10 too"
                                     : "effectSpeed given without effects; give the item's effects too ([] for none)");
    }
    return e;
}

TableEntry<pkg::MaskRecord> Parser::Mask(const ObjectReader& in) const {
    TableEntry<pkg::MaskRecord> e;
    e.file = File(in);
    e.compress = in.Bool("compress", false);
    if (in.Get("kind") != nullptr) {
        e.record.Kind = static_cast<std::uint8_t>(in.Code("kind", 0, MaskKinds(), 0, 2));
        return e;
    }
    const std::string ext = core::UpperCase(core::ExtractFileExt(e.file));
    if (ext == ".BMP" || ext == ".DIB") {
        e.record.Kind = 0;
    } else if (ext == ".PNG") {
        e.record.Kind = 1;
    } else if (ext == ".GIF") {
        e.record.Kind = 2;
    } else {
        Reject(in.At("kind"), "missing, and the file name " + Shown(*in.Get("file")) +
                                  " does not tell (\"bitmap\", \"png\" or \"gif\")");
    }
    return e;
}

TableEntry<pkg::EntrySoundRecord> Parser::EntrySound(const ObjectReader& in) const {
    TableEntry<pkg::EntrySoundRecord> e;
    e.file = File(in);
    e.compress = in.Bool("compress", false);
    e.record.Ext = Extension(in, e.file, kEntrySoundExtChars);
    return e;
}

TableEntry<pkg::SoundRecord> Parser::Track(const ObjectReader& in) const {
    TableEntry<pkg::SoundRecord> e;
    e.file = File(in);
    e.compress = in.Bool("compress", false);
    e.record.ItemExt = Extension(in, e.file, pkg::kExtWidth);
    return e;
}

template <typename Entry, typename ReadOne>
std::vector<Entry> ReadTable(const ObjectReader& root, const char* key, std::initializer_list<std::string_view> known,
                             ReadOne readOne) {
    std::vector<Entry> entries;
    if (const Json* array = root.Get(key)) {
        ExpectArray(*array, key);
        for (std::size_t i = 0; i < array->size(); ++i) {
            entries.push_back(readOne(ObjectReader((*array)[i], Element(key, i), known)));
        }
    }
    return entries;
}

Manifest Parser::Parse(const Json& root) {
    const ObjectReader in(root, "",
                          {"header", "strings", "items", "masks", "entrySounds", "music", "logo", "background",
                           "exitBanner", "configBanner", "previewImage", "flashPlayer", "overrides"});
    Manifest m;
    m.header = DefaultHeader();
    if (const Json* v = in.Get("header")) {
        ReadHeaderSettings(*v, "header", m.header);
    }
    // Every effect by default: a saver without transitions is rarely what anyone wants.
    for (int k = 1; k <= trans::kEffectCount; ++k) {
        m.strings[PackageString::Effect] += static_cast<char>(k);
    }
    if (const Json* v = in.Get("strings")) {
        Strings(ObjectReader(*v, "strings",
                             {"SaverName", "AboutText", "WebsiteURL", "HelpKeyLink", "ExitLink", "BannerLink",
                              "ExitBannerLink", "Effect", "TranslationText", "TranslationFile", "reserved"}),
                m.strings);
    }

    // Masks and entry sounds first: items refer to them by index.
    m.masks = ReadTable<TableEntry<pkg::MaskRecord>>(in, "masks", {"file", "compress", "kind"},
                                                     [&](const ObjectReader& o) { return Mask(o); });
    m.entrySounds = ReadTable<TableEntry<pkg::EntrySoundRecord>>(
        in, "entrySounds", {"file", "compress", "ext"}, [&](const ObjectReader& o) { return EntrySound(o); });
    m.music = ReadTable<TableEntry<pkg::SoundRecord>>(in, "music", {"file", "compress", "ext"},
                                                      [&](const ObjectReader& o) { return Track(o); });
    m.items = ReadTable<TableEntry<pkg::ItemRecord>>(
        in, "items",
        {"file", "compress", "ext", "caption", "duration", "sizeMode", "mask", "enterSound", "filters", "effects",
         "effectSpeed"},
        [&](const ObjectReader& o) { return Item(o, m); });

    struct CompressedPiece {
        const char* key;
        std::string Manifest::*file;
        std::string pkg::PackageHeader::*ext;
    };
    const CompressedPiece compressed[] = {
        {"background", &Manifest::background, &pkg::PackageHeader::BackgroundExt},
        {"logo", &Manifest::logo, &pkg::PackageHeader::LogoExt},
        {"exitBanner", &Manifest::exitBanner, &pkg::PackageHeader::ExitBannerExt},
    };
    for (const auto& [key, file, ext] : compressed) {
        if (const Json* v = in.Get(key)) {
            const ObjectReader piece(*v, key, {"file", "ext"});
            m.*file = File(piece);
            m.header.*ext = Extension(piece, m.*file, pkg::kExtWidth);
        }
    }
    const std::pair<const char*, std::string Manifest::*> stored[] = {
        {"previewImage", &Manifest::previewImage},
        {"configBanner", &Manifest::configBanner},
        {"flashPlayer", &Manifest::flashPlayer},
    };
    for (const auto& [key, file] : stored) {
        if (const Json* v = in.Get(key)) {
            m.*file = File(ObjectReader(*v, key, {"file"}));
        }
    }

    if (const Json* v = in.Get("overrides")) {
        m.overrides =
            ParseOverrides(*v, "overrides", {m.items.size(), m.masks.size(), m.entrySounds.size(), m.music.size()});
    }
    return m;
}

}  // namespace

Manifest ParseManifest(const Json& root, const std::string& baseFolder) {
    return ParseManifest(root, baseFolder, NamedFiles::MustBeReadable);
}

Manifest ParseManifest(const Json& root, const std::string& baseFolder, NamedFiles files) {
    return Parser(baseFolder, files).Parse(root);
}

Manifest LoadManifest(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const FileIoError& e) {
        throw ManifestError(path + ": " + e.what());
    }
    Json root;
    try {
        root = Json::parse(bytes.begin(), bytes.end());
    } catch (const Json::parse_error& e) {
        throw ManifestError(path + ": not JSON: " + e.what());
    }
    const fs::path folder = fs::path(path).parent_path();
    return ParseManifest(root, folder.empty() ? std::string(".") : folder.string());
}

}  // namespace sspack
