#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sspack {

// A range of bytes of the file.
struct FileRange {
    std::size_t offset = 0;
    std::size_t size = 0;
};

// The parts of a PE image (32- or 64-bit) the builder needs: its sections, to turn relative
// virtual addresses into file offsets, and its resource tree. Every offset read from the file is
// checked against the file before it is followed.
class PeImage {
public:
    // Nothing when the bytes are not a PE image.
    static std::optional<PeImage> Parse(std::span<const std::uint8_t> bytes);

    // The file bytes of `size` bytes at the address, when one section's raw data holds them all.
    std::optional<FileRange> Map(std::uint32_t rva, std::uint32_t size) const;

    // The data of the resource with numeric type, name and language identifiers.
    std::optional<FileRange> FindResource(std::uint32_t type, std::uint32_t name, std::uint32_t language) const;

private:
    struct Section {
        std::uint32_t virtualAddress = 0;
        std::uint32_t virtualSize = 0;
        std::uint32_t rawOffset = 0;
        std::uint32_t rawSize = 0;
    };

    // The entry for `id` in the resource directory at `directory` (an offset into the resource
    // section): its OffsetToData word, whose top bit marks a subdirectory.
    std::optional<std::uint32_t> FindEntry(std::uint32_t directory, std::uint32_t id) const;

    std::span<const std::uint8_t> bytes_;
    std::vector<Section> sections_;
    std::uint32_t resourceRva_ = 0;
    std::uint32_t resourceSize_ = 0;
};

}  // namespace sspack
