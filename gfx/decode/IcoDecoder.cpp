#include "gfx/decode/IcoDecoder.h"

#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "gfx/decode/BmpDecoder.h"
#include "gfx/decode/Limits.h"
#include "gfx/decode/PngDecoder.h"

namespace gfx {

namespace {

struct Reader {
    std::span<const std::uint8_t> bytes;

    bool Has(std::size_t at, std::size_t n) const { return at <= bytes.size() && n <= bytes.size() - at; }
    std::uint32_t U16(std::size_t at) const { return bytes[at] | (std::uint32_t{bytes[at + 1]} << 8); }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
};

struct Entry {
    IntSize size;
    std::uint32_t bits = 0;
    std::uint32_t length = 0;
    std::uint32_t offset = 0;
};

std::optional<Entry> LargestEntry(const Reader& r) {
    // Directory: reserved 0, type 1 (icon) or 2 (cursor), count, then 16 bytes an image.
    if (!r.Has(0, 6) || r.U16(0) != 0 || (r.U16(2) != 1 && r.U16(2) != 2)) {
        return std::nullopt;
    }
    const std::size_t count = r.U16(4);
    if (count == 0 || !r.Has(6, count * 16)) {
        return std::nullopt;
    }
    std::optional<Entry> best;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + i * 16;
        Entry e;
        e.size = {r.bytes[at] == 0 ? 256 : r.bytes[at], r.bytes[at + 1] == 0 ? 256 : r.bytes[at + 1]};
        e.bits = r.U16(at + 6);
        e.length = r.U32(at + 8);
        e.offset = r.U32(at + 12);
        const auto pixels = [](const Entry& x) { return std::int64_t{x.size.width} * x.size.height; };
        if (!best || pixels(e) > pixels(*best) || (pixels(e) == pixels(*best) && e.bits > best->bits)) {
            best = e;
        }
    }
    return best;
}

bool IsPng(std::span<const std::uint8_t> data) {
    static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return data.size() >= kSignature.size() && std::memcmp(data.data(), kSignature.data(), kSignature.size()) == 0;
}

std::optional<TBitmap32> DecodePngImage(std::span<const std::uint8_t> data) {
    TPngDecoder png;
    if (!png.Open(data)) {
        return std::nullopt;
    }
    auto picture = png.Frames();
    if (!picture) {
        return std::nullopt;
    }
    return std::move(picture->frames.front().bitmap);
}

std::size_t Stride(std::int64_t width, std::uint32_t bits) {
    return static_cast<std::size_t>((width * bits + 31) / 32 * 4);
}

// A bitmap image: an info header, the palette, the colour rows and the AND mask's rows, all
// bottom-up, the header's height counting both bitmaps.
std::optional<TBitmap32> DecodeBitmapImage(std::span<const std::uint8_t> data) {
    const Reader r{data};
    if (!r.Has(0, 40) || r.U32(0) < 40 || r.U32(16) != 0) {  // icons are never compressed
        return std::nullopt;
    }
    const std::uint32_t headerSize = r.U32(0);
    const std::int64_t width = r.I32(4);
    const std::int64_t height = r.I32(8) / 2;
    const std::uint32_t bits = r.U16(14);
    if (!PictureSizeAllowed(width, height) || bits == 0 || bits > 32) {
        return std::nullopt;
    }
    const std::uint32_t used = r.U32(32);
    const std::size_t paletteBytes = bits <= 8 ? 4u * (used != 0 && used < (1u << bits) ? used : (1u << bits)) : 0;
    const std::size_t colourAt = headerSize + paletteBytes;

    // The colour bitmap is a Windows bitmap without its file header: give it one, with the height
    // of the colour rows alone.
    std::vector<std::uint8_t> file(14 + data.size());
    file[0] = 'B';
    file[1] = 'M';
    const auto pixelsAt = static_cast<std::uint32_t>(14 + colourAt);
    std::memcpy(&file[10], &pixelsAt, 4);
    std::memcpy(&file[14], data.data(), data.size());
    const auto colourHeight = static_cast<std::int32_t>(height);
    std::memcpy(&file[14 + 8], &colourHeight, 4);
    auto out = DecodeBmp(file.data(), file.size());
    if (!out) {
        return std::nullopt;
    }

    const auto rows = static_cast<std::size_t>(height);
    const std::size_t colourStride = Stride(width, bits);
    const std::size_t maskAt = colourAt + colourStride * rows;
    const std::size_t maskStride = Stride(width, 1);
    bool ownAlpha = false;
    if (bits == 32) {  // alpha in the fourth byte of each pixel, when any pixel has some
        for (std::size_t row = 0; row < rows && !ownAlpha; ++row) {
            for (std::int64_t x = 0; x < width && !ownAlpha; ++x) {
                ownAlpha = data[colourAt + row * colourStride + static_cast<std::size_t>(x) * 4 + 3] != 0;
            }
        }
    }
    const bool hasMask = r.Has(maskAt, maskStride * rows);
    for (std::size_t row = 0; row < rows; ++row) {
        Color32* dst = out->Row(static_cast<std::int32_t>(rows - 1 - row));
        for (std::int64_t x = 0; x < width; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            std::uint32_t alpha = 255;
            if (ownAlpha) {
                alpha = data[colourAt + row * colourStride + ux * 4 + 3];
            } else if (hasMask && ((data[maskAt + row * maskStride + ux / 8] >> (7 - ux % 8)) & 1) != 0) {
                alpha = 0;
            }
            dst[x] = (dst[x] & 0x00FFFFFFu) | (alpha << 24);
        }
    }
    return out;
}

}  // namespace

std::optional<IntSize> LargestIconSize(std::span<const std::uint8_t> bytes) {
    const auto entry = LargestEntry(Reader{bytes});
    return entry ? std::optional<IntSize>(entry->size) : std::nullopt;
}

std::optional<TBitmap32> DecodeIco(std::span<const std::uint8_t> bytes) {
    const Reader r{bytes};
    const auto entry = LargestEntry(r);
    if (!entry || !r.Has(entry->offset, entry->length)) {
        return std::nullopt;
    }
    const auto data = bytes.subspan(entry->offset, entry->length);
    try {
        return IsPng(data) ? DecodePngImage(data) : DecodeBitmapImage(data);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace gfx
