#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/PackageFormat.h"
#include "package/PackageLayout.h"
#include "platform/Files.h"

namespace pkg {

// Any reason the package cannot be read; the text says which part is wrong.
class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file carries no package at all: it is shorter than a trailer, or does not end in the magic.
class NoPackageError : public PackageError {
public:
    using PackageError::PackageError;
};

// Reads the package appended to a built saver, one step at a time, so that the start-up can put
// the steps of other subsystems in between. Every position comes from the header's length fields;
// every size is checked against the file before anything is allocated or read.
class PackageReader {
public:
    // Opens the file for reading; others may read it too.
    explicit PackageReader(const std::string& path);

    std::int64_t FileSize() const { return fileSize_; }

    // The header and the magic. FileSizeSlot becomes the size of the file.
    PackageHeader ReadHeader();

    PackageStrings ReadStrings(const PackageHeader& header);
    std::vector<ItemRecord> ReadItems(const PackageHeader& header);
    std::vector<MaskRecord> ReadMasks(const PackageHeader& header);
    std::vector<EntrySoundRecord> ReadEntrySounds(const PackageHeader& header);
    std::vector<SoundRecord> ReadSounds(const PackageHeader& header);

    void Close() { file_.Close(); }

private:
    std::vector<std::uint8_t> ReadTable(const PackageHeader& header, Segment segment, std::int32_t count,
                                        std::size_t recordSize, const char* what);

    plat::File file_;
    std::int64_t fileSize_ = 0;
};

// Reads the header, the strings and every table at once.
Package ReadPackage(const std::string& path);

}  // namespace pkg
