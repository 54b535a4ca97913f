#include "tools/sspack/Overrides.h"

#include <limits>

#include "tools/sspack/RecordFields.h"

namespace sspack {

namespace {

constexpr std::string_view kTables[] = {"items", "masks", "entrySounds", "music"};
constexpr std::string_view kFixedPieces[] = {"background",   "logo",         "exitBanner",
                                             "previewImage", "configBanner", "flashPlayer"};

template <typename Range>
bool Contains(const Range& names, std::string_view name) {
    for (const auto n : names) {
        if (n == name) {
            return true;
        }
    }
    return false;
}

// A decimal index below `count`; keys are JSON strings, so "0" and "12" are indexes.
std::size_t ReadIndex(const std::string& key, const std::string& path, std::size_t count, const char* what) {
    std::size_t index = 0;
    if (key.empty() || key.size() > 9 || key.find_first_not_of("0123456789") != std::string::npos) {
        Reject(path, "\"" + key + "\" is not an index");
    }
    index = std::stoul(key);
    if (index >= count) {
        Reject(path, "\"" + key + "\" is not one of 0.." + std::to_string(static_cast<std::int64_t>(count) - 1) +
                         " (the " + what + " has " + std::to_string(count) + " entries)");
    }
    return index;
}

template <typename Record>
std::map<std::size_t, Json> ParseRecordEdits(const Json& object, const std::string& path, std::size_t count,
                                             std::span<const Field<Record>> fields, const char* what) {
    if (!object.is_object()) {
        Reject(path, Shown(object) + " is not an object");
    }
    std::map<std::size_t, Json> edits;
    for (const auto& [key, fieldsObject] : object.items()) {
        const std::string at = Member(path, key);
        const std::size_t index = ReadIndex(key, at, count, what);
        Record scratch;
        SetFields(scratch, fields, fieldsObject, at);  // only to check the form now
        edits[index] = fieldsObject;
    }
    return edits;
}

std::size_t TableCount(const TableSizes& tables, std::string_view table) {
    if (table == "items") {
        return tables.items;
    }
    if (table == "masks") {
        return tables.masks;
    }
    if (table == "entrySounds") {
        return tables.entrySounds;
    }
    return tables.music;
}

std::size_t ReadByteCount(const Json& value, const std::string& path) {
    return static_cast<std::size_t>(ReadInteger(value, path, 0, std::numeric_limits<std::int32_t>::max()));
}

std::map<Overrides::PieceRef, std::size_t> ParseBlobEdits(const Json& object, const std::string& path,
                                                          const TableSizes& tables) {
    if (!object.is_object()) {
        Reject(path, Shown(object) + " is not an object");
    }
    std::map<Overrides::PieceRef, std::size_t> edits;
    for (const auto& [name, value] : object.items()) {
        const std::string at = Member(path, name);
        if (Contains(kFixedPieces, name)) {
            edits[{name, 0}] = ReadByteCount(value, at);
        } else if (Contains(kTables, name)) {
            if (!value.is_object()) {
                Reject(at, Shown(value) + " is not an object");
            }
            for (const auto& [key, count] : value.items()) {
                const std::size_t index = ReadIndex(key, Member(at, key), TableCount(tables, name), name.c_str());
                edits[{name, index}] = ReadByteCount(count, Member(at, key));
            }
        } else {
            Reject(at, "unknown piece (value " + Shown(value) + ")");
        }
    }
    return edits;
}

std::map<std::size_t, std::uint16_t> ParseStringLengths(const Json& object, const std::string& path) {
    if (!object.is_object()) {
        Reject(path, Shown(object) + " is not an object");
    }
    std::map<std::size_t, std::uint16_t> lengths;
    for (const auto& [key, value] : object.items()) {
        const std::size_t number = ReadIndex(key, Member(path, key), pkg::kStringCount + 1, "string list");
        if (number == 0) {
            Reject(Member(path, key), "strings are numbered 1..18");
        }
        lengths[number] = static_cast<std::uint16_t>(ReadInteger(value, Member(path, key), 0, 0xFFFF));
    }
    return lengths;
}

template <typename Record>
void ApplyRecordEdits(const std::map<std::size_t, Json>& edits, std::vector<Record>& records,
                      std::span<const Field<Record>> fields, const std::string& path) {
    for (const auto& [index, object] : edits) {
        if (index < records.size()) {
            SetFields(records[index], fields, object, Member(path, std::to_string(index)));
        }
    }
}

}  // namespace

Overrides ParseOverrides(const Json& object, const std::string& path, const TableSizes& tables) {
    ExpectObject(object, path,
                 {"header", "items", "masks", "entrySounds", "music", "magic", "truncateBlob", "appendToBlob",
                  "stringLengths"});
    Overrides o;
    if (object.contains("header")) {
        pkg::PackageHeader scratch;
        SetFields(scratch, HeaderFields(), object["header"], Member(path, "header"));
        o.header = object["header"];
    }
    if (object.contains("items")) {
        o.items = ParseRecordEdits(object["items"], Member(path, "items"), tables.items, ItemFields(), "item table");
    }
    if (object.contains("masks")) {
        o.masks = ParseRecordEdits(object["masks"], Member(path, "masks"), tables.masks, MaskFields(), "mask table");
    }
    if (object.contains("entrySounds")) {
        o.entrySounds = ParseRecordEdits(object["entrySounds"], Member(path, "entrySounds"), tables.entrySounds,
                                         EntrySoundFields(), "entry-sound table");
    }
    if (object.contains("music")) {
        o.music = ParseRecordEdits(object["music"], Member(path, "music"), tables.music, ItemFields(), "music table");
    }
    if (object.contains("magic")) {
        const std::string magic = ReadAnsi(object["magic"], Member(path, "magic"), pkg::kMagic.size());
        if (magic.size() != pkg::kMagic.size()) {
            Reject(Member(path, "magic"), Shown(object["magic"]) + " is not 10 characters long");
        }
        o.magic = magic;
    }
    if (object.contains("truncateBlob")) {
        o.truncateBlob = ParseBlobEdits(object["truncateBlob"], Member(path, "truncateBlob"), tables);
    }
    if (object.contains("appendToBlob")) {
        o.appendToBlob = ParseBlobEdits(object["appendToBlob"], Member(path, "appendToBlob"), tables);
    }
    if (object.contains("stringLengths")) {
        o.stringLengths = ParseStringLengths(object["stringLengths"], Member(path, "stringLengths"));
    }
    return o;
}

void ApplyFieldOverrides(const Overrides& o, pkg::Package& package) {
    SetFields(package.header, HeaderFields(), o.header, "overrides.header");
    ApplyRecordEdits(o.items, package.items, ItemFields(), "overrides.items");
    ApplyRecordEdits(o.masks, package.masks, MaskFields(), "overrides.masks");
    ApplyRecordEdits(o.entrySounds, package.entrySounds, EntrySoundFields(), "overrides.entrySounds");
    ApplyRecordEdits(o.music, package.sounds, ItemFields(), "overrides.music");
}

}  // namespace sspack
