#include "gfx/decode/TiffSamples.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/decode/ColorSpaces.h"

namespace gfx::tiff {

namespace {

static_assert(std::endian::native == std::endian::little, "libtiff hands over whole-byte samples in host order");

// No strip or tile of a picture within the pixel cap needs more.
constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{256} << 20;

bool IsInteger(const TLayout& l) {
    return l.format == SAMPLEFORMAT_UINT || l.format == SAMPLEFORMAT_VOID || l.format == SAMPLEFORMAT_INT;
}

// The sample at `index` of a row: integers as their unsigned bit pattern, floating point as its
// value. Samples of 8, 16, 24, 32 and 64 bits come in host order; other depths are packed from the
// highest bit of each byte on.
using Fetch = double (*)(const std::uint8_t* row, std::uint64_t index, std::uint16_t bits);

template <typename T>
T Load(const std::uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

double FetchPacked(const std::uint8_t* row, std::uint64_t index, std::uint16_t bits) {
    std::uint64_t bit = index * bits;
    std::uint64_t value = 0;
    for (std::uint16_t i = 0; i < bits; ++i, ++bit) {
        value = value << 1 | ((row[bit / 8] >> (7 - bit % 8)) & 1u);
    }
    return static_cast<double>(value);
}

double Fetch8(const std::uint8_t* row, std::uint64_t index, std::uint16_t) { return row[index]; }
double Fetch16(const std::uint8_t* row, std::uint64_t index, std::uint16_t) {
    return Load<std::uint16_t>(row + 2 * index);
}
double Fetch24(const std::uint8_t* row, std::uint64_t index, std::uint16_t) {
    const std::uint8_t* p = row + 3 * index;
    return static_cast<double>(p[0] | p[1] << 8 | p[2] << 16);
}
double Fetch32(const std::uint8_t* row, std::uint64_t index, std::uint16_t) {
    return Load<std::uint32_t>(row + 4 * index);
}

double FetchHalf(const std::uint8_t* row, std::uint64_t index, std::uint16_t) {
    const std::uint16_t h = Load<std::uint16_t>(row + 2 * index);
    const int exponent = (h >> 10) & 0x1F;
    const double fraction = h & 0x3FF;
    const double magnitude = exponent == 0    ? std::ldexp(fraction, -24)
                             : exponent == 31 ? (fraction == 0 ? INFINITY : NAN)
                                              : std::ldexp(fraction + 1024, exponent - 25);
    return (h & 0x8000) != 0 ? -magnitude : magnitude;
}
double FetchFloat(const std::uint8_t* row, std::uint64_t index, std::uint16_t) { return Load<float>(row + 4 * index); }
double FetchDouble(const std::uint8_t* row, std::uint64_t index, std::uint16_t) {
    return Load<double>(row + 8 * index);
}

Fetch FetchFor(const TLayout& l) {
    if (l.format == SAMPLEFORMAT_IEEEFP) {
        return l.bits == 16 ? FetchHalf : l.bits == 32 ? FetchFloat : FetchDouble;
    }
    switch (l.bits) {
        case 8: return Fetch8;
        case 16: return Fetch16;
        case 24: return Fetch24;
        case 32: return Fetch32;
        default: return FetchPacked;
    }
}

// Raw samples of one pixel to its colour, by the layout.
class Converter {
public:
    explicit Converter(const TLayout& l)
        : l_(l), largest_(std::ldexp(1.0, l.bits) - 1.0), half_(std::ldexp(1.0, l.bits - 1)) {}

    Color32 operator()(const double* raw) const {
        if (l_.photometric == PHOTOMETRIC_CIELAB) {
            return WithAlpha(Lab(raw), raw);
        }
        double v[4] = {};
        for (int c = 0; c < l_.colorChannels && c < 4; ++c) {
            v[c] = Unit(raw[c]);
        }
        if (l_.alpha >= 0 && l_.premultiplied) {
            const double a = Unit(raw[l_.alpha]);
            for (double& channel : v) {
                channel = a > 0 ? channel / a : 0.0;
            }
        }
        switch (l_.photometric) {
            case PHOTOMETRIC_MINISWHITE: return WithAlpha(UnitRgbColor(1 - v[0], 1 - v[0], 1 - v[0]), raw);
            case PHOTOMETRIC_RGB: return WithAlpha(UnitRgbColor(v[0], v[1], v[2]), raw);
            case PHOTOMETRIC_SEPARATED:
                return WithAlpha(
                    UnitRgbColor((1 - v[0]) * (1 - v[3]), (1 - v[1]) * (1 - v[3]), (1 - v[2]) * (1 - v[3])), raw);
            default: return WithAlpha(UnitRgbColor(v[0], v[0], v[0]), raw);
        }
    }

private:
    // A sample on the scale 0 to 1.
    double Unit(double raw) const {
        if (l_.format == SAMPLEFORMAT_INT) {
            raw = Signed(raw);
        }
        if (l_.range && l_.format != SAMPLEFORMAT_UINT && l_.format != SAMPLEFORMAT_VOID) {
            return (raw - l_.range->first) / (l_.range->second - l_.range->first);
        }
        if (l_.format == SAMPLEFORMAT_INT) {
            return (raw + half_) / largest_;
        }
        return l_.format == SAMPLEFORMAT_IEEEFP ? raw : raw / largest_;
    }

    double Signed(double pattern) const { return pattern >= half_ ? pattern - largest_ - 1 : pattern; }

    // L* is unsigned, a* and b* signed: 8-bit in units, 16-bit in 256ths; floating point as is.
    Color32 Lab(const double* raw) const {
        if (l_.format == SAMPLEFORMAT_IEEEFP) {
            return LabColor(raw[0], l_.colorChannels >= 3 ? raw[1] : 0, l_.colorChannels >= 3 ? raw[2] : 0);
        }
        const double scale = l_.bits == 16 ? 256.0 : 1.0;
        const double l = raw[0] * 100.0 / largest_;
        return l_.colorChannels >= 3 ? LabColor(l, Signed(raw[1]) / scale, Signed(raw[2]) / scale) : LabColor(l, 0, 0);
    }

    Color32 WithAlpha(Color32 colour, const double* raw) const {
        if (l_.alpha < 0) {
            return colour;
        }
        const double a = Unit(raw[l_.alpha]);
        const auto alpha =
            static_cast<std::uint8_t>(std::lround(std::isnan(a) ? 0.0 : std::fmin(std::fmax(a, 0.0), 1.0) * 255));
        return (colour & 0x00FFFFFFu) | Color32{alpha} << 24;
    }

    const TLayout& l_;
    double largest_;  // of an integer sample's bit pattern
    double half_;
};

// The strips or tiles of the page, each decoded (every plane of it) and handed on row by row.
class Blocks {
public:
    Blocks(TIFF* tiff, const TLayout& l) : tiff_(tiff), l_(l) {
        std::uint32_t w = 0;
        std::uint32_t h = 0;
        if (l.tiled) {
            TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &w);
            TIFFGetField(tiff, TIFFTAG_TILELENGTH, &h);
            rowBytes_ = TIFFTileRowSize64(tiff);
            blockBytes_ = TIFFTileSize64(tiff);
        } else {
            TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &h);
            w = static_cast<std::uint32_t>(l.size.width);
            rowBytes_ = TIFFScanlineSize64(tiff);
            blockBytes_ = TIFFStripSize64(tiff);
        }
        width_ = w;
        height_ = std::min<std::uint32_t>(h, static_cast<std::uint32_t>(l.size.height));
    }

    std::string Check() const {
        if (width_ == 0 || height_ == 0 || rowBytes_ == 0) {
            return l_.tiled ? "no tile size" : "no strip size";
        }
        if (blockBytes_ > kMaxBlockBytes / PlaneCount() || blockBytes_ < rowBytes_ * height_) {
            return l_.tiled ? "tiles beyond the memory cap" : "strips beyond the memory cap";
        }
        return {};
    }

    // Calls row(x, y, planes, count) for each stored row of each block: planes[p] points at the
    // row's bytes of plane p, count is how many pixels of the row lie inside the picture.
    template <typename Row>
    bool Each(Row row, std::string& why) {
        const std::size_t planeCount = PlaneCount();
        std::vector<std::vector<std::uint8_t>> planes(planeCount, std::vector<std::uint8_t>(blockBytes_));
        std::vector<const std::uint8_t*> rows(planeCount);
        const auto width = static_cast<std::uint32_t>(l_.size.width);
        const auto height = static_cast<std::uint32_t>(l_.size.height);
        for (std::uint32_t y0 = 0; y0 < height; y0 += height_) {
            for (std::uint32_t x0 = 0; x0 < width; x0 += width_) {
                for (std::size_t p = 0; p < planeCount; ++p) {
                    if (!Read(x0, y0, static_cast<std::uint16_t>(p), planes[p], why)) {
                        return false;
                    }
                }
                const std::uint32_t count = std::min(width_, width - x0);
                for (std::uint32_t r = 0; r < height_ && y0 + r < height; ++r) {
                    for (std::size_t p = 0; p < planeCount; ++p) {
                        rows[p] = planes[p].data() + r * rowBytes_;
                    }
                    row(x0, y0 + r, rows.data(), count);
                }
            }
        }
        return true;
    }

private:
    std::size_t PlaneCount() const { return l_.planar == PLANARCONFIG_SEPARATE ? l_.samples : 1; }

    bool Read(std::uint32_t x, std::uint32_t y, std::uint16_t plane, std::vector<std::uint8_t>& buffer,
              std::string& why) {
        const auto size = static_cast<tmsize_t>(buffer.size());
        const tmsize_t read =
            l_.tiled ? TIFFReadEncodedTile(tiff_, TIFFComputeTile(tiff_, x, y, 0, plane), buffer.data(), size)
                     : TIFFReadEncodedStrip(tiff_, TIFFComputeStrip(tiff_, y, plane), buffer.data(), size);
        const std::uint32_t rows = std::min(height_, static_cast<std::uint32_t>(l_.size.height) - y);
        if (read < 0 || static_cast<std::uint64_t>(read) < rowBytes_ * rows) {
            why = l_.tiled ? "a tile cannot be decoded" : "a strip cannot be decoded";
            return false;
        }
        return true;
    }

    TIFF* tiff_;
    const TLayout& l_;
    std::uint32_t width_ = 0;   // of a block
    std::uint32_t height_ = 0;  // of a block, at most the picture's
    std::uint64_t rowBytes_ = 0;
    std::uint64_t blockBytes_ = 0;
};

}  // namespace

std::string SamplesRefusal(const TLayout& l) {
    const std::uint16_t needed = l.photometric == PHOTOMETRIC_RGB || l.photometric == PHOTOMETRIC_CIELAB ? 3
                                 : l.photometric == PHOTOMETRIC_SEPARATED                                ? 4
                                                                                                         : 1;
    if (l.colorChannels < needed && !(l.photometric == PHOTOMETRIC_CIELAB && l.colorChannels == 1)) {
        return "too few colour samples";
    }
    if (l.photometric == PHOTOMETRIC_SEPARATED && l.inkSet != INKSET_CMYK) {
        return "inks other than CMYK";
    }
    if (l.format == SAMPLEFORMAT_IEEEFP) {
        return l.bits == 16 || l.bits == 32 || l.bits == 64 ? std::string()
                                                            : std::to_string(l.bits) + "-bit floating-point samples";
    }
    if (!IsInteger(l)) {
        return "complex samples";
    }
    if (l.bits < 1 || l.bits > 32) {
        return std::to_string(l.bits) + "-bit samples";
    }
    if (l.photometric == PHOTOMETRIC_CIELAB && l.bits != 8 && l.bits != 16) {
        return std::to_string(l.bits) + "-bit CIELab samples";
    }
    return {};
}

bool ReadSamples(TIFF* tiff, const TLayout& l, TOrientedRows& out, std::string& why) {
    Blocks blocks(tiff, l);
    why = blocks.Check();
    if (!why.empty()) {
        return false;
    }
    const Fetch fetch = FetchFor(l);
    const Converter convert(l);
    const bool separate = l.planar == PLANARCONFIG_SEPARATE;
    std::vector<Color32> pixels(static_cast<std::size_t>(l.size.width));
    std::vector<double> raw(l.samples);
    return blocks.Each(
        [&](std::uint32_t x0, std::uint32_t y, const std::uint8_t* const* planes, std::uint32_t count) {
            for (std::uint32_t i = 0; i < count; ++i) {
                for (std::uint16_t s = 0; s < l.samples; ++s) {
                    raw[s] = separate ? fetch(planes[s], i, l.bits)
                                      : fetch(planes[0], std::uint64_t{i} * l.samples + s, l.bits);
                }
                pixels[i] = convert(raw.data());
            }
            out.Put(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y), pixels.data(),
                    static_cast<std::int32_t>(count));
        },
        why);
}

}  // namespace gfx::tiff
