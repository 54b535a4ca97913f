#include "tools/sspack/PeImage.h"

namespace sspack {

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectory = 2;  // index among the data directories
constexpr std::uint32_t kSubdirectory = 0x80000000;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;

bool Has(std::span<const std::uint8_t> b, std::size_t offset, std::size_t size) {
    return offset <= b.size() && size <= b.size() - offset;
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}

}  // namespace

std::optional<PeImage> PeImage::Parse(std::span<const std::uint8_t> b) {
    if (!Has(b, 0, 0x40) || b[0] != 'M' || b[1] != 'Z') {
        return std::nullopt;
    }
    const std::size_t pe = U32(b, 0x3C);
    constexpr std::size_t kFileHeaderSize = 20;
    if (!Has(b, pe, 4 + kFileHeaderSize) || U32(b, pe) != 0x00004550) {  // "PE\0\0"
        return std::nullopt;
    }
    const std::size_t fileHeader = pe + 4;
    const std::size_t sectionCount = U16(b, fileHeader + 2);
    const std::size_t optionalSize = U16(b, fileHeader + 16);
    const std::size_t optional = fileHeader + kFileHeaderSize;
    if (!Has(b, optional, optionalSize) || optionalSize < 2) {
        return std::nullopt;
    }
    const std::uint16_t magic = U16(b, optional);
    std::size_t rvaCountAt = 0;
    if (magic == kPe32Magic) {
        rvaCountAt = 92;
    } else if (magic == kPe32PlusMagic) {
        rvaCountAt = 108;
    } else {
        return std::nullopt;
    }
    PeImage image;
    image.bytes_ = b;
    if (optionalSize >= rvaCountAt + 4 && U32(b, optional + rvaCountAt) > kResourceDirectory) {
        const std::size_t entry = optional + rvaCountAt + 4 + kResourceDirectory * 8;
        if (entry + 8 <= optional + optionalSize) {
            image.resourceRva_ = U32(b, entry);
            image.resourceSize_ = U32(b, entry + 4);
        }
    }
    const std::size_t sections = optional + optionalSize;
    if (!Has(b, sections, sectionCount * kSectionHeaderSize)) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = sections + i * kSectionHeaderSize;
        image.sections_.push_back({U32(b, at + 12), U32(b, at + 8), U32(b, at + 20), U32(b, at + 16)});
    }
    return image;
}

std::optional<FileRange> PeImage::Map(std::uint32_t rva, std::uint32_t size) const {
    for (const Section& s : sections_) {
        const std::uint64_t end = std::uint64_t{rva} + size;
        if (rva >= s.virtualAddress && end <= std::uint64_t{s.virtualAddress} + s.rawSize) {
            const std::size_t offset = std::size_t{s.rawOffset} + (rva - s.virtualAddress);
            if (Has(bytes_, offset, size)) {
                return FileRange{offset, size};
            }
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> PeImage::FindEntry(std::uint32_t directory, std::uint32_t id) const {
    if (directory > resourceSize_) {
        return std::nullopt;
    }
    const auto header = Map(resourceRva_ + directory, kDirectoryHeaderSize);
    if (!header) {
        return std::nullopt;
    }
    const std::uint32_t named = U16(bytes_, header->offset + 12);
    const std::uint32_t numbered = U16(bytes_, header->offset + 14);
    const auto entries = Map(resourceRva_ + directory + kDirectoryHeaderSize, (named + numbered) * kDirectoryEntrySize);
    if (!entries) {
        return std::nullopt;
    }
    // Named entries come first; an identifier is a name word without its top bit.
    for (std::uint32_t i = named; i < named + numbered; ++i) {
        const std::size_t at = entries->offset + i * kDirectoryEntrySize;
        if (U32(bytes_, at) == id) {
            return U32(bytes_, at + 4);
        }
    }
    return std::nullopt;
}

std::optional<FileRange> PeImage::FindResource(std::uint32_t type, std::uint32_t name, std::uint32_t language) const {
    if (resourceRva_ == 0 || resourceSize_ == 0) {
        return std::nullopt;
    }
    // Three levels: type, name, language; the first two lead to directories, the last to data.
    std::uint32_t directory = 0;
    for (const std::uint32_t id : {type, name}) {
        const auto entry = FindEntry(directory, id);
        if (!entry || (*entry & kSubdirectory) == 0) {
            return std::nullopt;
        }
        directory = *entry & ~kSubdirectory;
    }
    const auto entry = FindEntry(directory, language);
    if (!entry || (*entry & kSubdirectory) != 0 || *entry > resourceSize_) {
        return std::nullopt;
    }
    const auto data = Map(resourceRva_ + *entry, 16);
    if (!data) {
        return std::nullopt;
    }
    // The data entry holds an address, not an offset into the resource section.
    return Map(U32(bytes_, data->offset), U32(bytes_, data->offset + 4));
}

}  // namespace sspack
