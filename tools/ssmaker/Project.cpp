#include "tools/ssmaker/Project.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <utility>

#include "tools/sspack/Ansi.h"
#include "tools/sspack/Codes.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/HeaderSettings.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/RecordFields.h"
#include "transitions/EffectNames.h"

namespace fs = std::filesystem;

namespace maker {

namespace {

constexpr char kItems[] = "items";
constexpr char kHeader[] = "header";
constexpr char kStrings[] = "strings";

// The tables whose codes a manifest writes by name, for people reading the project.
const sspack::CodeTable* CodesOf(std::string_view key) {
    if (key == key::kDisplayOrder) {
        return &sspack::Orders();
    }
    if (key == key::kStretch) {
        return &sspack::SizeModes();
    }
    if (key == key::kGradientStyle) {
        return &sspack::GradientStyles();
    }
    if (key == key::kLogoPosition) {
        return &sspack::Positions();
    }
    return nullptr;
}

Json CodeValue(const sspack::CodeTable* table, std::int32_t code) {
    if (table != nullptr) {
        for (const auto& name : table->names) {
            if (name.code == code) {
                return std::string(name.name);
            }
        }
    }
    return code;
}

std::int32_t ReadAnyCode(const Json& value, const std::string& at, const sspack::CodeTable* table) {
    if (table == nullptr) {
        return sspack::ReadInt32(value, at, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    }
    return sspack::ReadCode(value, at, *table, std::numeric_limits<std::int32_t>::min(),
                            std::numeric_limits<std::int32_t>::max());
}

const sspack::Field<pkg::PackageHeader>& HeaderField(const char* key) {
    const auto* field = sspack::FindField(sspack::HeaderFields(), key);
    if (field == nullptr) {
        throw std::logic_error(std::string("no header field ") + key);
    }
    return *field;
}

// "#RRGGBB" for a plain colour, as people write it; system colours stay numbers.
Json ColorValue(std::int32_t color) {
    if (color < 0 || color > 0xFFFFFF) {
        return color;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (const int shift : {0, 8, 16}) {
        const int byte = (color >> shift) & 0xFF;
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

// Text from the window is ANSI; the manifest is UTF-8.
std::string FromAnsi(const std::string& ansi) { return sspack::AnsiToUtf8(ansi); }
std::string ToAnsi(const std::string& utf8) { return sspack::Utf8ToAnsi(utf8).value_or(utf8); }

// Every file name the manifest holds, wherever it lies.
template <typename Visit>
void ForEachFile(Json& doc, Visit visit) {
    for (const char* table : {kItems, "masks", sounds::kEntrySounds, sounds::kMusic}) {
        if (auto it = doc.find(table); it != doc.end() && it->is_array()) {
            for (Json& entry : *it) {
                if (auto file = entry.find("file"); file != entry.end() && file->is_string()) {
                    visit(*file);
                }
            }
        }
    }
    for (const char* piece : {"logo", "background", "exitBanner", "configBanner", "previewImage", "flashPlayer"}) {
        if (auto it = doc.find(piece); it != doc.end() && it->is_object()) {
            if (auto file = it->find("file"); file != it->end() && file->is_string()) {
                visit(*file);
            }
        }
    }
    if (auto strings = doc.find(kStrings); strings != doc.end() && strings->is_object()) {
        if (auto file = strings->find("TranslationFile"); file != strings->end() && file->is_string()) {
            visit(*file);
        }
    }
}

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

void CheckIndex(std::size_t i, std::size_t count) {
    if (i >= count) {
        throw std::out_of_range("no such line");
    }
}

}  // namespace

TProject::TProject() : doc_(Json::object()) {}

TProject::TProject(Json doc, std::string path) : doc_(std::move(doc)), path_(std::move(path)) {}

TProject TProject::Open(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = sspack::ReadFileBytes(path);
    } catch (const sspack::FileIoError& e) {
        throw sspack::ManifestError(path + ": " + e.what());
    }
    Json doc;
    try {
        doc = Json::parse(bytes.begin(), bytes.end());
    } catch (const Json::parse_error& e) {
        throw sspack::ManifestError(path + ": not JSON: " + e.what());
    }
    // What the builder would refuse is refused here, with its message.
    try {
        sspack::ParseManifest(doc, FolderOf(path), sspack::NamedFiles::MayBeMissing);
    } catch (const sspack::ManifestError& e) {
        throw sspack::ManifestError(path + ": " + e.what());
    }
    return TProject(std::move(doc), path);
}

void TProject::Save(const std::string& path) {
    const fs::path full = fs::absolute(path);
    Json saved = Rebased(full.parent_path().string());
    const std::string text = saved.dump(2) + "\n";
    sspack::WriteFileAtomically(full.string(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    doc_ = std::move(saved);
    path_ = full.string();
    modified_ = false;
}

// Relative names follow the project to its new folder; full names become relative to it where
// they can.
Json TProject::Rebased(const std::string& newFolder) const {
    Json doc = doc_;
    ForEachFile(doc, [&](Json& file) {
        const fs::path full = fs::path(FullPath(ToAnsi(file.get<std::string>())));
        const fs::path relative = full.lexically_relative(newFolder);
        file = FromAnsi((relative.empty() ? full : relative).generic_string());
    });
    return doc;
}

std::string TProject::Stored(const std::string& fullPath) const {
    if (path_.empty()) {
        return FromAnsi(fs::absolute(fullPath).generic_string());
    }
    const fs::path relative = fs::absolute(fullPath).lexically_relative(fs::path(path_).parent_path());
    return FromAnsi((relative.empty() ? fs::path(fullPath) : relative).generic_string());
}

std::string TProject::FullPath(const std::string& stored) const {
    const fs::path file(stored);
    if (file.is_absolute() || path_.empty()) {
        return file.string();
    }
    return (fs::path(path_).parent_path() / file).lexically_normal().string();
}

sspack::Manifest TProject::ToManifest() const {
    return sspack::ParseManifest(doc_, path_.empty() ? std::string(".") : FolderOf(path_));
}

std::vector<std::string> TProject::MissingFiles() const {
    std::vector<std::string> missing;
    Json doc = doc_;
    ForEachFile(doc, [&](Json& file) {
        const std::string full = FullPath(ToAnsi(file.get<std::string>()));
        std::error_code ec;
        if (!fs::is_regular_file(full, ec) && std::find(missing.begin(), missing.end(), full) == missing.end()) {
            missing.push_back(full);
        }
    });
    return missing;
}

Json& TProject::Items() {
    Json& items = doc_[kItems];
    if (!items.is_array()) {
        items = Json::array();
    }
    return items;
}

Json& TProject::Item(std::size_t i) {
    Json& items = Items();
    CheckIndex(i, items.size());
    return items[i];
}

const Json& TProject::ItemAt(std::size_t i) const {
    const auto it = doc_.find(kItems);
    CheckIndex(i, it == doc_.end() ? 0 : it->size());
    return (*it)[i];
}

std::size_t TProject::ItemCount() const {
    const auto it = doc_.find(kItems);
    return it == doc_.end() || !it->is_array() ? 0 : it->size();
}

std::string TProject::ItemFile(std::size_t i) const {
    return FullPath(ToAnsi(ItemAt(i).value("file", std::string())));
}

void TProject::AddItem(const std::string& file) {
    Items().push_back(Json{{"file", Stored(file)}});
    Changed();
}

void TProject::RemoveItem(std::size_t i) {
    Json& items = Items();
    CheckIndex(i, items.size());
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
    Changed();
}

void TProject::MoveItem(std::size_t i, int step) {
    Json& items = Items();
    const std::size_t j = i + static_cast<std::size_t>(step);
    CheckIndex(i, items.size());
    CheckIndex(j, items.size());
    std::swap(items[i], items[j]);
    Changed();
}

std::string TProject::ItemCaption(std::size_t i) const {
    const Json& item = ItemAt(i);
    const auto caption = item.find("caption");
    return caption == item.end() ? std::string() : ToAnsi(caption->value("text", std::string()));
}

void TProject::SetItemCaption(std::size_t i, const std::string& text) {
    Json& item = Item(i);
    Json& caption = item["caption"];
    if (text.empty()) {
        caption.erase("text");
    } else {
        caption["text"] = FromAnsi(text);
    }
    if (caption.empty()) {
        item.erase("caption");
    }
    Changed();
}

int TProject::ItemDuration(std::size_t i) const { return ItemAt(i).value("duration", 0); }

void TProject::SetItemDuration(std::size_t i, int seconds) {
    Json& item = Item(i);
    if (seconds == 0) {
        item.erase("duration");
    } else {
        item["duration"] = seconds;
    }
    Changed();
}

int TProject::ItemSizeMode(std::size_t i) const {
    const Json& item = ItemAt(i);
    const auto mode = item.find("sizeMode");
    return mode == item.end() ? -1 : sspack::ReadCode(*mode, "sizeMode", sspack::ItemSizeModes(), -1, 5);
}

void TProject::SetItemSizeMode(std::size_t i, int mode) {
    Json& item = Item(i);
    if (mode < 0) {
        item.erase("sizeMode");
    } else {
        item["sizeMode"] = CodeValue(&sspack::ItemSizeModes(), mode);
    }
    Changed();
}

int TProject::ItemEnterSound(std::size_t i) const { return ItemAt(i).value("enterSound", -1); }

void TProject::SetItemEnterSound(std::size_t i, int sound) {
    Json& item = Item(i);
    if (sound < 0) {
        item.erase("enterSound");
    } else {
        item["enterSound"] = sound;
    }
    Changed();
}

Json& TProject::Table(const char* table) {
    Json& entries = doc_[table];
    if (!entries.is_array()) {
        entries = Json::array();
    }
    return entries;
}

std::vector<std::string> TProject::Files(const char* table) const {
    std::vector<std::string> files;
    if (const auto it = doc_.find(table); it != doc_.end() && it->is_array()) {
        for (const Json& entry : *it) {
            files.push_back(FullPath(ToAnsi(entry.value("file", std::string()))));
        }
    }
    return files;
}

void TProject::AddFile(const char* table, const std::string& file) {
    Table(table).push_back(Json{{"file", Stored(file)}});
    Changed();
}

void TProject::RemoveFile(const char* table, std::size_t i) {
    Json& entries = Table(table);
    CheckIndex(i, entries.size());
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
    if (std::string_view(table) == sounds::kEntrySounds) {
        // The items keep pointing at the same sounds.
        for (std::size_t k = 0; k < ItemCount(); ++k) {
            const int sound = ItemEnterSound(k);
            if (sound == static_cast<int>(i)) {
                SetItemEnterSound(k, -1);
            } else if (sound > static_cast<int>(i)) {
                SetItemEnterSound(k, sound - 1);
            }
        }
    }
    Changed();
}

void TProject::MoveFile(const char* table, std::size_t i, int step) {
    Json& entries = Table(table);
    const std::size_t j = i + static_cast<std::size_t>(step);
    CheckIndex(i, entries.size());
    CheckIndex(j, entries.size());
    std::swap(entries[i], entries[j]);
    if (std::string_view(table) == sounds::kEntrySounds) {
        for (std::size_t k = 0; k < ItemCount(); ++k) {
            const int sound = ItemEnterSound(k);
            if (sound == static_cast<int>(i) || sound == static_cast<int>(j)) {
                SetItemEnterSound(k, sound == static_cast<int>(i) ? static_cast<int>(j) : static_cast<int>(i));
            }
        }
    }
    Changed();
}

std::int32_t TProject::Number(const char* key) const {
    if (const auto header = doc_.find(kHeader); header != doc_.end()) {
        if (const auto value = header->find(key); value != header->end()) {
            return ReadAnyCode(*value, key, CodesOf(key));
        }
    }
    return sspack::DefaultHeader().*std::get<std::int32_t pkg::PackageHeader::*>(HeaderField(key).member);
}

void TProject::SetNumber(const char* key, std::int32_t value) {
    doc_[kHeader][key] = CodeValue(CodesOf(key), value);
    Changed();
}

bool TProject::Flag(const char* key) const {
    if (const auto header = doc_.find(kHeader); header != doc_.end()) {
        if (const auto value = header->find(key); value != header->end()) {
            return sspack::ReadBool(*value, key);
        }
    }
    return sspack::DefaultHeader().*std::get<bool pkg::PackageHeader::*>(HeaderField(key).member);
}

void TProject::SetFlag(const char* key, bool value) {
    HeaderField(key);  // a name the builder knows
    doc_[kHeader][key] = value;
    Changed();
}

std::int32_t TProject::Color(const char* key) const {
    if (const auto header = doc_.find(kHeader); header != doc_.end()) {
        if (const auto value = header->find(key); value != header->end()) {
            return sspack::ReadColor(*value, key);
        }
    }
    return sspack::DefaultHeader().*std::get<std::int32_t pkg::PackageHeader::*>(HeaderField(key).member);
}

void TProject::SetColor(const char* key, std::int32_t color) {
    HeaderField(key);
    doc_[kHeader][key] = ColorValue(color);
    Changed();
}

std::string TProject::SaverName() const {
    if (const auto strings = doc_.find(kStrings); strings != doc_.end()) {
        return ToAnsi(strings->value("SaverName", std::string()));
    }
    return {};
}

void TProject::SetSaverName(const std::string& name) {
    doc_[kStrings]["SaverName"] = FromAnsi(name);
    Changed();
}

std::vector<bool> TProject::Effects() const {
    std::vector<bool> marks(trans::kEffectCount, true);
    const auto strings = doc_.find(kStrings);
    if (strings == doc_.end()) {
        return marks;
    }
    const auto effects = strings->find("Effect");
    if (effects == strings->end()) {
        return marks;
    }
    marks.assign(marks.size(), false);
    for (const char c : sspack::ReadEffects(*effects, "strings.Effect", 0xFFFF)) {
        const int effect = static_cast<unsigned char>(c);
        if (effect >= 1 && effect <= trans::kEffectCount) {
            marks[static_cast<std::size_t>(effect - 1)] = true;
        }
    }
    return marks;
}

void TProject::SetEffects(const std::vector<bool>& marks) {
    Json numbers = Json::array();
    for (std::size_t k = 0; k < marks.size(); ++k) {
        if (marks[k]) {
            numbers.push_back(k + 1);
        }
    }
    Json& strings = doc_[kStrings];
    // Every effect is what a manifest without the key gets.
    if (numbers.size() == static_cast<std::size_t>(trans::kEffectCount)) {
        strings.erase("Effect");
    } else {
        strings["Effect"] = std::move(numbers);
    }
    if (strings.empty()) {
        doc_.erase(kStrings);
    }
    Changed();
}

std::string TProject::Logo() const {
    const auto logo = doc_.find("logo");
    return logo == doc_.end() ? std::string() : FullPath(ToAnsi(logo->value("file", std::string())));
}

void TProject::SetLogo(const std::string& file) {
    if (file.empty()) {
        doc_.erase("logo");
    } else {
        doc_["logo"] = Json{{"file", Stored(file)}};
    }
    Changed();
}

std::vector<std::string> TProject::KeptSettings() const {
    static const std::set<std::string> kShownHeader = {
        key::kSeconds, key::kDisplayOrder, key::kStretch, key::kEffectSpeed, key::kGradientStyle,
        key::kBackgroundColor, key::kBackgroundColor2, key::kLogoPosition, "Loop", "ShuffleMelody", "PlayOneRandom",
        "Mute", "ExitMouseMove", "ExitMouseButton", "ExitKeyboard", "ExitESC", "AllowWallpaperKey", "DesktopStart",
        "DisableTwoMonitors"};
    static const std::set<std::string> kShownItem = {"file", "caption", "duration", "sizeMode", "enterSound"};
    std::vector<std::string> kept;
    if (const auto header = doc_.find(kHeader); header != doc_.end() && header->is_object()) {
        for (const auto& [name, value] : header->items()) {
            if (!kShownHeader.contains(name)) {
                kept.push_back(name);
            }
        }
    }
    if (const auto strings = doc_.find(kStrings); strings != doc_.end() && strings->is_object()) {
        for (const auto& [name, value] : strings->items()) {
            if (name != "SaverName" && name != "Effect") {
                kept.push_back(name);
            }
        }
    }
    std::set<std::string> itemKeys;
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        for (const auto& [name, value] : ItemAt(i).items()) {
            if (!kShownItem.contains(name)) {
                itemKeys.insert(name);
            }
            if (name == "caption" && value.is_object() && (value.size() > 1 || !value.contains("text"))) {
                itemKeys.insert("caption styles");
            }
        }
    }
    for (const auto& name : itemKeys) {
        kept.push_back("items' " + name);
    }
    for (const char* table : {"masks"}) {
        if (const auto it = doc_.find(table); it != doc_.end() && it->is_array() && !it->empty()) {
            kept.push_back(std::to_string(it->size()) + (it->size() == 1 ? " mask" : " masks"));
        }
    }
    for (const char* piece : {"background", "exitBanner", "previewImage", "configBanner", "flashPlayer", "overrides"}) {
        if (doc_.contains(piece)) {
            kept.push_back(piece);
        }
    }
    return kept;
}

}  // namespace maker
