#pragma once

#include <cstdint>

#include "package/PackageFormat.h"

namespace pkg {

// The segments of the package in file order; the strings follow the sound table.
enum class Segment {
    FlashPlayer = 1,
    PreviewImage,
    ConfigBanner,
    ExitBanner,
    Logo,
    ItemTable,
    MaskTable,
    EntrySoundTable,
    Background,
    SoundTable,
    Strings,
};

// The length field of a segment (not defined for Strings).
std::int32_t SegmentLength(const PackageHeader& header, Segment segment);

// The name of a segment's length field in the header, for messages.
const char* SegmentLengthName(Segment segment);

// PackageStart = FileSizeSlot - PackageSize.
std::int64_t PackageStart(const PackageHeader& header);

// Start of a segment: PackageStart plus the lengths of every segment before it, in table order.
std::int64_t SegmentStart(const PackageHeader& header, Segment segment);

// The first byte of the trailer.
std::int64_t TrailerStart(const PackageHeader& header);

}  // namespace pkg
