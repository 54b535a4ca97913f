#pragma once

#include <string>

#include "package/PackageFormat.h"

namespace sspack {

// A built saver for people, from its package as the reader gives it (FileSizeSlot is the size of
// the file).

// One line: "Holiday.scr: 12 pictures, 1 music track, 10 effects, 30.8 MB".
std::string SummaryLine(const std::string& name, const pkg::Package& package);

// The name, the settings in words, the items with their kind and size, the music and the entry
// sounds.
std::string FormatOverview(const std::string& name, const pkg::Package& package);

}  // namespace sspack
