#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "package/PackageFormat.h"
#include "tools/sspack/JsonValues.h"

namespace sspack {

// Edits for test fixtures of broken packages; nothing else should need them. They are applied
// after layout, bypass every validation of the manifest, and are written exactly as given:
//   "header":       {"PackageSize": -5, "ItemCount": 99, ...}   any header field, computed ones too
//   "items":        {"0": {"BlobOffset": 1, "ItemExt": "..\\x", ...}}   any record field by name;
//   "masks", "entrySounds", "music" likewise
//   "magic":        "XXXXXXXXXX"   ten characters in place of the trailer's magic
//   "truncateBlob": {"items": {"0": 10}, "logo": 3}   keep only the first N stored bytes of a
//                   piece (the records and the header still declare the full sizes)
//   "appendToBlob": the same form, adds N zero bytes after the stored bytes
//   "stringLengths": {"5": 60000}   the 16-bit length written for string N (1..18), whatever
//                   the string holds, so that it can run into the trailer
struct Overrides {
    // A piece: its table ("items", "masks", "entrySounds", "music") and index, or one of the
    // fixed pieces ("logo", "background", "exitBanner", "previewImage", "configBanner",
    // "flashPlayer") with index 0.
    using PieceRef = std::pair<std::string, std::size_t>;

    Json header = Json::object();
    std::map<std::size_t, Json> items;
    std::map<std::size_t, Json> masks;
    std::map<std::size_t, Json> entrySounds;
    std::map<std::size_t, Json> music;
    std::optional<std::string> magic;
    std::map<PieceRef, std::size_t> truncateBlob;
    std::map<PieceRef, std::size_t> appendToBlob;
    std::map<std::size_t, std::uint16_t> stringLengths;  // string number 1..18

    bool operator==(const Overrides&) const = default;
};

struct TableSizes {
    std::size_t items = 0;
    std::size_t masks = 0;
    std::size_t entrySounds = 0;
    std::size_t music = 0;
};

// Reads the "overrides" object; its form is checked here (known fields, JSON types, indexes of
// existing records) so that a typing error stops the build before anything is written.
Overrides ParseOverrides(const Json& object, const std::string& path, const TableSizes& tables);

// Sets the header and record fields that the overrides name.
void ApplyFieldOverrides(const Overrides& overrides, pkg::Package& package);

}  // namespace sspack
