#include "gfx/decode/Exif.h"

#include <cstring>
#include <optional>

namespace gfx {

namespace {

constexpr std::uint8_t kExifPrefix[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kEntrySize = 12;

// The TIFF structure inside the block, read in its own byte order with every offset checked.
class TiffBytes {
public:
    explicit TiffBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ReadOrder() {
        if (bytes_.size() < 8 || bytes_[0] != bytes_[1] || (bytes_[0] != 'I' && bytes_[0] != 'M')) {
            return false;
        }
        little_ = bytes_[0] == 'I';
        return U16(2) == 42;
    }

    std::optional<std::uint32_t> U16(std::size_t at) const {
        if (at > bytes_.size() || bytes_.size() - at < 2) {
            return std::nullopt;
        }
        const std::uint32_t a = bytes_[at];
        const std::uint32_t b = bytes_[at + 1];
        return little_ ? a | b << 8 : a << 8 | b;
    }

    std::optional<std::uint32_t> U32(std::size_t at) const {
        const auto low = U16(little_ ? at : at + 2);
        const auto high = U16(little_ ? at + 2 : at);
        if (!low || !high) {
            return std::nullopt;
        }
        return *low | *high << 16;
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool little_ = true;
};

}  // namespace

TOrientation ExifOrientation(std::span<const std::uint8_t> block) {
    if (block.size() < sizeof kExifPrefix || std::memcmp(block.data(), kExifPrefix, sizeof kExifPrefix) != 0) {
        return TOrientation::TopLeft;
    }
    TiffBytes tiff(block.subspan(sizeof kExifPrefix));
    if (!tiff.ReadOrder()) {
        return TOrientation::TopLeft;
    }
    const auto ifd = tiff.U32(4);
    const auto count = ifd ? tiff.U16(*ifd) : std::nullopt;
    if (!count) {
        return TOrientation::TopLeft;
    }
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t entry = std::size_t{*ifd} + 2 + i * kEntrySize;
        const auto tag = tiff.U16(entry);
        if (!tag) {
            break;
        }
        if (*tag == kOrientationTag) {
            const auto type = tiff.U16(entry + 2);
            const auto values = tiff.U32(entry + 4);
            const auto value = tiff.U16(entry + 8);
            const bool usable = type == kShortType && values && *values >= 1 && value;
            return usable ? OrientationFromValue(*value) : TOrientation::TopLeft;
        }
    }
    return TOrientation::TopLeft;
}

}  // namespace gfx
