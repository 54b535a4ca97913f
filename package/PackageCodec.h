#pragma once

#include <cstdint>

#include "package/PackageFormat.h"

namespace pkg {

// Records to and from their bytes. Reserved and padding bytes are written as zero.

PackageHeader DecodeHeader(const std::uint8_t* bytes);  // kHeaderSize bytes
void EncodeHeader(const PackageHeader& header, std::uint8_t* bytes);

ItemRecord DecodeItem(const std::uint8_t* bytes);  // kItemRecordSize bytes
void EncodeItem(const ItemRecord& item, std::uint8_t* bytes);

MaskRecord DecodeMask(const std::uint8_t* bytes);  // kMaskRecordSize bytes
void EncodeMask(const MaskRecord& mask, std::uint8_t* bytes);

EntrySoundRecord DecodeEntrySound(const std::uint8_t* bytes);  // kEntrySoundRecordSize bytes
void EncodeEntrySound(const EntrySoundRecord& sound, std::uint8_t* bytes);

}  // namespace pkg
