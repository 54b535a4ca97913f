#pragma once

#include <string>

#include "tools/sspack/JsonValues.h"

namespace sspack {

// Everything the package of a built saver carries, as JSON:
//   "file", "fileSize", "packageStart", "nameResource" (the runtime's 30-character name field, or
//   null), "magic", "header" (every field by name, FileSizeSlot as stored), "strings" (the named
//   ones by name, "Effect" as effect numbers, "reserved" by number), "items", "masks",
//   "entrySounds", "music" (each record by field name, with the piece's absolute "position" and
//   "compressed"), and "pieces" (the fixed pieces: "present", "position", "size", "storedSize",
//   "compressed", and "ext" where the header has one). Text is UTF-8, read as Windows-1252.
// Throws pkg::PackageError when the package cannot be read.
Json ListPackage(const std::string& path);

// The listing for people: fields by name, colours as "#RRGGBB", long texts shortened.
std::string FormatListing(const Json& listing);

}  // namespace sspack
