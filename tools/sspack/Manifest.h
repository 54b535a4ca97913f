#pragma once

#include <string>
#include <vector>

#include "package/PackageFormat.h"
#include "tools/sspack/Overrides.h"

namespace sspack {

// One piece of a table and the record that describes it. The record's BlobOffset, BlobSize and
// BlobStoredSize are computed by the builder; everything else is written as it stands.
template <typename Record>
struct TableEntry {
    std::string file;  // resolved against the manifest's folder
    bool compress = false;  // stored as a zlib stream, when that is smaller than the file
    Record record;

    bool operator==(const TableEntry&) const = default;
};

// What the builder packs, checked and with every default filled in. Sizes, counts, table lengths
// and offsets in `header` and the records are left to the builder.
struct Manifest {
    pkg::PackageHeader header;
    pkg::PackageStrings strings;
    std::vector<TableEntry<pkg::ItemRecord>> items;
    std::vector<TableEntry<pkg::MaskRecord>> masks;
    std::vector<TableEntry<pkg::EntrySoundRecord>> entrySounds;
    std::vector<TableEntry<pkg::SoundRecord>> music;

    // The fixed pieces; an empty name means the package has none. Background, logo and exit
    // banner are always compressed (their extensions are in the header), the others never.
    std::string background;
    std::string logo;
    std::string exitBanner;
    std::string previewImage;
    std::string configBanner;
    std::string flashPlayer;

    Overrides overrides;

    bool operator==(const Manifest&) const = default;
};

}  // namespace sspack
