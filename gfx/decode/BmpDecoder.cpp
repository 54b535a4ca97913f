#include "gfx/decode/BmpDecoder.h"

#include <algorithm>
#include <array>
#include <vector>

#include "gfx/decode/Limits.h"

namespace gfx {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;

struct Reader {
    const std::uint8_t* data;
    std::size_t size;

    bool Has(std::size_t at, std::size_t n) const { return at <= size && n <= size - at; }
    std::uint32_t U16(std::size_t at) const { return data[at] | (std::uint32_t{data[at + 1]} << 8); }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows stored bottom-up when positive
    std::uint32_t bits = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t paletteEntries = 0;
    std::size_t paletteAt = 0;
    std::size_t paletteStride = 4;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue
};

// Bytes a row of uncompressed pixels takes, padded to 32 bits.
std::size_t Stride(const Header& h) { return ((static_cast<std::size_t>(h.width) * h.bits + 31) / 32) * 4; }

// The value of one masked channel scaled to 0..255.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    const std::uint32_t max = mask >> shift;
    const std::uint32_t v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((v * 255u + max / 2) / max);
}

std::optional<Header> ReadHeader(const Reader& r) {
    if (!r.Has(0, 18) || r.data[0] != 'B' || r.data[1] != 'M') {
        return std::nullopt;
    }
    Header h;
    const std::uint32_t infoSize = r.U32(14);
    if (infoSize == 12) {  // core header: 16-bit sizes, 3-byte palette entries
        if (!r.Has(14, 12)) {
            return std::nullopt;
        }
        h.width = r.U16(18);
        h.height = r.U16(20);
        h.bits = r.U16(24);
        h.paletteStride = 3;
        h.paletteAt = 26;
        h.paletteEntries = h.bits <= 8 ? (1u << h.bits) : 0;
        return h;
    }
    if (infoSize < 40 || !r.Has(14, infoSize)) {
        return std::nullopt;
    }
    h.width = r.I32(18);
    h.height = r.I32(22);
    h.bits = r.U16(28);
    h.compression = r.U32(30);
    const std::uint32_t used = r.U32(46);
    h.paletteAt = 14 + infoSize;
    if (h.compression == kBiBitFields) {
        // The masks end a longer header, or follow a short one.
        if (!r.Has(54, 12)) {
            return std::nullopt;
        }
        h.masks = {r.U32(54), r.U32(58), r.U32(62)};
        if (infoSize == 40) {
            h.paletteAt += 12;
        }
    } else if (h.bits == 16) {
        h.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (h.bits == 32) {
        h.masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }
    if (h.bits <= 8) {
        h.paletteEntries = used != 0 && used < (1u << h.bits) ? used : (1u << h.bits);
    }
    return h;
}

class Decoder {
public:
    Decoder(const Reader& r, const Header& h, TBitmap32& out) : r_(r), h_(h), out_(out) {}

    bool ReadPalette() {
        palette_.assign(256, kOpaqueBlack);
        for (std::uint32_t i = 0; i < h_.paletteEntries; ++i) {
            const std::size_t at = h_.paletteAt + i * h_.paletteStride;
            if (!r_.Has(at, 3)) {
                return false;
            }
            palette_[i] = MakeColor32(r_.data[at + 2], r_.data[at + 1], r_.data[at]);
        }
        return true;
    }

    bool Uncompressed(std::size_t at) {
        const std::size_t stride = Stride(h_);
        const auto rows = static_cast<std::size_t>(out_.Height());
        for (std::size_t row = 0; row < rows; ++row) {
            const std::uint8_t* src = r_.data + at + row * stride;
            Color32* dst = out_.Row(TargetRow(row));
            for (std::int32_t x = 0; x < out_.Width(); ++x) {
                dst[x] = PixelAt(src, static_cast<std::size_t>(x));
            }
        }
        return true;
    }

    // Run-length rows: pairs of count and index, escapes for end of line, end of picture, delta
    // and literal runs. Pixels not written stay at the palette's first colour.
    bool RunLength(std::size_t at, bool four) {
        out_.Clear(palette_[0]);
        std::int64_t x = 0;
        std::int64_t row = 0;
        const std::int64_t rows = out_.Height();
        while (r_.Has(at, 2)) {
            const std::uint8_t count = r_.data[at];
            const std::uint8_t value = r_.data[at + 1];
            at += 2;
            if (count > 0) {
                for (int i = 0; i < count; ++i) {
                    Put(x++, row, four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
                }
            } else if (value == 0) {
                x = 0;
                ++row;
            } else if (value == 1) {
                return true;
            } else if (value == 2) {
                if (!r_.Has(at, 2)) {
                    return false;
                }
                x += r_.data[at];
                row += r_.data[at + 1];
                at += 2;
            } else {
                const std::size_t bytes = four ? (value + 1u) / 2u : value;
                if (!r_.Has(at, bytes)) {
                    return false;
                }
                for (int i = 0; i < value; ++i) {
                    const std::uint8_t b = r_.data[at + (four ? static_cast<std::size_t>(i / 2) : static_cast<std::size_t>(i))];
                    Put(x++, row, four ? ((i & 1) ? b & 0x0F : b >> 4) : b);
                }
                at += (bytes + 1) & ~std::size_t{1};  // literal runs keep 16-bit alignment
            }
            if (row >= rows) {
                return true;
            }
        }
        return true;
    }

private:
    std::int32_t TargetRow(std::size_t row) const {
        return h_.height > 0 ? out_.Height() - 1 - static_cast<std::int32_t>(row) : static_cast<std::int32_t>(row);
    }

    void Put(std::int64_t x, std::int64_t row, std::uint32_t index) {
        if (x >= 0 && x < out_.Width() && row >= 0 && row < out_.Height()) {
            out_.Row(TargetRow(static_cast<std::size_t>(row)))[x] = palette_[index & 0xFF];
        }
    }

    Color32 PixelAt(const std::uint8_t* src, std::size_t x) const {
        switch (h_.bits) {
            case 1: return palette_[(src[x / 8] >> (7 - x % 8)) & 1];
            case 4: return palette_[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
            case 8: return palette_[src[x]];
            case 16: return Masked(src[2 * x] | (std::uint32_t{src[2 * x + 1]} << 8));
            case 24: return MakeColor32(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            default: {
                const std::uint8_t* p = src + 4 * x;
                return Masked(p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                              (std::uint32_t{p[3]} << 24));
            }
        }
    }

    Color32 Masked(std::uint32_t v) const {
        return MakeColor32(Channel(v, h_.masks[0]), Channel(v, h_.masks[1]), Channel(v, h_.masks[2]));
    }

    const Reader& r_;
    const Header& h_;
    TBitmap32& out_;
    std::vector<Color32> palette_;
};

bool SupportedDepth(const Header& h) {
    switch (h.compression) {
        case kBiRgb: return h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
        case kBiRle8: return h.bits == 8;
        case kBiRle4: return h.bits == 4;
        case kBiBitFields: return h.bits == 16 || h.bits == 32;
        default: return false;
    }
}

}  // namespace

std::optional<IntSize> StatedBmpSize(const std::uint8_t* data, std::size_t size) {
    const auto header = ReadHeader(Reader{data, size});
    if (!header) {
        return std::nullopt;
    }
    const std::int64_t height = header->height < 0 ? -header->height : header->height;
    const auto dimension = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, 0x7FFFFFFF));
    };
    return IntSize{dimension(header->width), dimension(height)};
}

std::optional<TBitmap32> DecodeBmp(const std::uint8_t* data, std::size_t size) {
    const Reader r{data, size};
    const auto header = ReadHeader(r);
    if (!header || !SupportedDepth(*header)) {
        return std::nullopt;
    }
    const std::int64_t height = header->height < 0 ? -header->height : header->height;
    if (!PictureSizeAllowed(header->width, height)) {
        return std::nullopt;
    }
    const std::size_t pixelsAt = r.U32(10);
    const bool runLength = header->compression == kBiRle8 || header->compression == kBiRle4;
    if (!runLength && !r.Has(pixelsAt, Stride(*header) * static_cast<std::size_t>(height))) {
        return std::nullopt;  // known before the picture is allocated
    }
    TBitmap32 out(static_cast<std::int32_t>(header->width), static_cast<std::int32_t>(height));
    Decoder decoder(r, *header, out);
    if (!decoder.ReadPalette()) {
        return std::nullopt;
    }
    const bool ok = header->compression == kBiRle8   ? decoder.RunLength(pixelsAt, false)
                    : header->compression == kBiRle4 ? decoder.RunLength(pixelsAt, true)
                                                     : decoder.Uncompressed(pixelsAt);
    if (!ok) {
        return std::nullopt;
    }
    return out;
}

}  // namespace gfx
