#include "package/PackageReader.h"

#include <cstring>
#include <limits>
#include <string_view>

#include "package/PackageCodec.h"
#include "package/PackageLayout.h"

namespace pkg {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw PackageError(what); }

void CheckLengths(const PackageHeader& h) {
    for (int k = static_cast<int>(Segment::FlashPlayer); k < static_cast<int>(Segment::Strings); ++k) {
        const auto segment = static_cast<Segment>(k);
        if (SegmentLength(h, segment) < 0) {
            Fail(std::string(SegmentLengthName(segment)) + " is negative (" +
                 std::to_string(SegmentLength(h, segment)) + ")");
        }
    }
    if (h.PackageSize < static_cast<std::int32_t>(kTrailerSize)) {
        Fail("PackageSize " + std::to_string(h.PackageSize) + " is smaller than the trailer");
    }
    if (h.PackageSize > h.FileSizeSlot) {
        Fail("PackageSize " + std::to_string(h.PackageSize) + " is larger than the file (" +
             std::to_string(h.FileSizeSlot) + " bytes)");
    }
    if (SegmentStart(h, Segment::Strings) > TrailerStart(h)) {
        Fail("the segments run past the trailer");
    }
}

}  // namespace

PackageReader::PackageReader(const std::string& path) {
    try {
        file_ = plat::File::OpenRead(path);
        fileSize_ = file_.Size();
    } catch (const plat::FileError& e) {
        Fail(std::string("cannot open the file: ") + e.what());
    }
}

PackageHeader PackageReader::ReadHeader() {
    if (fileSize_ < static_cast<std::int64_t>(kTrailerSize)) {
        throw NoPackageError("the file is shorter than the trailer");
    }
    if (fileSize_ > std::numeric_limits<std::int32_t>::max()) {
        Fail("the file is larger than 2 GiB");
    }
    std::uint8_t trailer[kTrailerSize];
    try {
        file_.Seek(fileSize_ - static_cast<std::int64_t>(kTrailerSize));
        file_.ReadExact(trailer, sizeof trailer);
    } catch (const plat::FileError& e) {
        Fail(std::string("cannot read the trailer: ") + e.what());
    }
    PackageHeader header = DecodeHeader(trailer);
    header.FileSizeSlot = static_cast<std::int32_t>(fileSize_);
    if (std::string_view(reinterpret_cast<const char*>(trailer + kHeaderSize), kMagic.size()) != kMagic) {
        throw NoPackageError("the trailer's magic is missing");
    }
    CheckLengths(header);
    return header;
}

PackageStrings PackageReader::ReadStrings(const PackageHeader& header) {
    PackageStrings strings;
    std::int64_t position = SegmentStart(header, Segment::Strings);
    const std::int64_t end = TrailerStart(header);
    try {
        file_.Seek(position);
        for (std::size_t i = 0; i < kStringCount; ++i) {
            std::uint8_t length[2];
            if (position + 2 > end) {
                Fail("string " + std::to_string(i + 1) + " runs into the trailer");
            }
            file_.ReadExact(length, 2);
            const std::size_t n = length[0] | (std::size_t{length[1]} << 8);
            position += 2;
            if (position + static_cast<std::int64_t>(n) > end) {
                Fail("string " + std::to_string(i + 1) + " runs into the trailer");
            }
            if (n != 0) {
                strings.values[i].resize(n);
                file_.ReadExact(strings.values[i].data(), n);
                position += static_cast<std::int64_t>(n);
            }
        }
    } catch (const plat::FileError& e) {
        Fail(std::string("cannot read the strings: ") + e.what());
    }
    return strings;
}

std::vector<std::uint8_t> PackageReader::ReadTable(const PackageHeader& header, Segment seg, std::int32_t count,
                                                   std::size_t recordSize, const char* what) {
    if (count < 0) {
        Fail(std::string(what) + ": negative count " + std::to_string(count));
    }
    const std::int64_t bytes = std::int64_t{count} * static_cast<std::int64_t>(recordSize);
    if (bytes > SegmentLength(header, seg)) {
        Fail(std::string(what) + ": " + std::to_string(count) + " records of " + std::to_string(recordSize) +
             " bytes run past the segment (" + std::to_string(SegmentLength(header, seg)) + " bytes)");
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes));
    try {
        file_.Seek(SegmentStart(header, seg));
        file_.ReadExact(data.data(), data.size());
    } catch (const plat::FileError& e) {
        Fail(std::string(what) + ": " + e.what());
    }
    return data;
}

namespace {

// The records of a table's bytes, one after the other.
template <typename Record>
std::vector<Record> DecodeRecords(const std::vector<std::uint8_t>& data, std::size_t recordSize,
                                  Record (*decode)(const std::uint8_t*)) {
    std::vector<Record> records;
    records.reserve(data.size() / recordSize);
    for (std::size_t at = 0; at < data.size(); at += recordSize) {
        records.push_back(decode(data.data() + at));
    }
    return records;
}

}  // namespace

std::vector<ItemRecord> PackageReader::ReadItems(const PackageHeader& header) {
    return DecodeRecords(ReadTable(header, Segment::ItemTable, header.ItemCount, kItemRecordSize, "item table"),
                         kItemRecordSize, DecodeItem);
}

std::vector<MaskRecord> PackageReader::ReadMasks(const PackageHeader& header) {
    return DecodeRecords(ReadTable(header, Segment::MaskTable, header.MaskCount, kMaskRecordSize, "mask table"),
                         kMaskRecordSize, DecodeMask);
}

std::vector<EntrySoundRecord> PackageReader::ReadEntrySounds(const PackageHeader& header) {
    return DecodeRecords(ReadTable(header, Segment::EntrySoundTable, header.EntrySoundCount, kEntrySoundRecordSize,
                                   "entry-sound table"),
                         kEntrySoundRecordSize, DecodeEntrySound);
}

std::vector<SoundRecord> PackageReader::ReadSounds(const PackageHeader& header) {
    return DecodeRecords(ReadTable(header, Segment::SoundTable, header.SoundCount, kSoundRecordSize, "sound table"),
                         kSoundRecordSize, DecodeItem);
}

Package ReadPackage(const std::string& path) {
    PackageReader reader(path);
    Package package;
    package.header = reader.ReadHeader();
    package.strings = reader.ReadStrings(package.header);
    package.items = reader.ReadItems(package.header);
    package.masks = reader.ReadMasks(package.header);
    package.entrySounds = reader.ReadEntrySounds(package.header);
    package.sounds = reader.ReadSounds(package.header);
    return package;
}

}  // namespace pkg
