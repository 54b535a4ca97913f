#include "tests/support/PictureEncoders.h"

#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace testing_support {

namespace {

void Append(png_structp png, png_bytep data, size_t size) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

std::vector<GifColorType> GifColors(const std::vector<gfx::Color32>& palette) {
    std::size_t size = 2;
    while (size < palette.size()) {
        size *= 2;  // giflib wants a power of two
    }
    std::vector<GifColorType> colors(size, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette.size(); ++i) {
        colors[i] = {gfx::RedOf(palette[i]), gfx::GreenOf(palette[i]), gfx::BlueOf(palette[i])};
    }
    return colors;
}

struct ColorMapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, ColorMapFreer>;

ColorMap MakeColorMap(const std::vector<gfx::Color32>& palette) {
    if (palette.empty()) {
        return nullptr;
    }
    auto colors = GifColors(palette);
    return ColorMap(GifMakeMapObject(static_cast<int>(colors.size()), colors.data()));
}

int AppendGif(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

std::vector<int> InterlacedRows(int height) {
    std::vector<int> rows;
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (int y = start; y < height; y += step) {
            rows.push_back(y);
        }
    }
    return rows;
}

void PutFrame(GifFileType* gif, const GifFrameLayout& f) {
    if (f.control) {
        GraphicsControlBlock gcb{f.disposal, false, f.delayCs, f.transparent};
        GifByteType block[4];
        EGifGCBToExtension(&gcb, block);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
    }
    const ColorMap local = MakeColorMap(f.palette);
    // giflib keeps its own copy of a local palette and loses it when the next frame has none.
    GifFreeMapObject(gif->Image.ColorMap);
    gif->Image.ColorMap = nullptr;
    EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local.get());
    std::vector<int> order(static_cast<std::size_t>(f.height));
    for (int y = 0; y < f.height; ++y) {
        order[static_cast<std::size_t>(y)] = y;
    }
    if (f.interlaced) {
        order = InterlacedRows(f.height);
    }
    for (const int y : order) {
        Bytes row(f.indices.begin() + y * f.width, f.indices.begin() + (y + 1) * f.width);
        EGifPutLine(gif, row.data(), f.width);
    }
}

}  // namespace

Bytes EncodePng(const PngImage& image) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png encoding failed");
    }
    png_set_write_fn(png, &out, Append, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                 image.bitDepth, image.colorType, image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty()) {
        std::vector<png_color> colors;
        Bytes alpha;
        for (const gfx::Color32 c : image.palette) {
            colors.push_back({gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)});
            alpha.push_back(gfx::AlphaOf(c));
        }
        png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
        png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
    }
    if (!image.icc.empty()) {
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, image.icc.data(),
                     static_cast<png_uint_32>(image.icc.size()));
    }
    std::vector<png_bytep> rows;
    for (const Bytes& row : image.rows) {
        rows.push_back(const_cast<png_bytep>(row.data()));
    }
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes EncodePng(const gfx::TBitmap32& bitmap) {
    PngImage image{bitmap.Width(), bitmap.Height()};
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        Bytes row;
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const gfx::Color32 c = bitmap.Pixel(x, y);
            row.insert(row.end(), {gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c), gfx::AlphaOf(c)});
        }
        image.rows.push_back(std::move(row));
    }
    return EncodePng(image);
}

namespace {

// `samples` holds every row, or just one that every row repeats.
Bytes Compress(int width, int height, int components, J_COLOR_SPACE space, const Bytes& samples, int quality,
               bool progressive, const Bytes& icc = {}, bool subsampled = false) {
    const auto stride = static_cast<std::size_t>(width * components);
    const bool oneRow = samples.size() == stride;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (!subsampled) {  // the library's defaults are 4:2:0
        for (int i = 0; i < info.num_components; ++i) {
            info.comp_info[i].h_samp_factor = 1;
            info.comp_info[i].v_samp_factor = 1;
        }
    }
    if (progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    if (!icc.empty()) {
        jpeg_write_icc_profile(&info, icc.data(), static_cast<unsigned int>(icc.size()));
    }
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(samples.data() + (oneRow ? 0 : info.next_scanline * stride));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace

Bytes EncodeJpeg(const gfx::TBitmap32& bitmap, int quality, bool grey, bool progressive, const Bytes& icc,
                 bool subsampled) {
    Bytes samples;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const gfx::Color32 c = bitmap.Pixel(x, y);
            if (grey) {
                samples.push_back(gfx::GreenOf(c));
            } else {
                samples.insert(samples.end(), {gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)});
            }
        }
    }
    return Compress(bitmap.Width(), bitmap.Height(), grey ? 1 : 3, grey ? JCS_GRAYSCALE : JCS_RGB, samples, quality,
                    progressive, icc, subsampled);
}

Bytes EncodeFlatGreyJpeg(int width, int height, std::uint8_t grey) {
    return Compress(width, height, 1, JCS_GRAYSCALE, Bytes(static_cast<std::size_t>(width), grey), 75, false);
}

Bytes EncodeCmykJpeg(int width, int height, const Bytes& cmyk) {
    return Compress(width, height, 4, JCS_CMYK, cmyk, 100, false);
}

namespace {

// A TIFF written by `write` through libtiff into a temporary file, as bytes.
template <typename Write>
Bytes WriteTiff(Write write) {
    char name[] = "/tmp/saver-tiff-XXXXXX";
    const int fd = ::mkstemp(name);
    TIFF* tiff = TIFFFdOpen(fd, name, "w");
    write(tiff);
    TIFFClose(tiff);
    std::ifstream in(name, std::ios::binary);
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ::unlink(name);
    return bytes;
}

void WriteKind(TIFF* tiff, const gfx::TBitmap32& bitmap, TiffKind kind);

void WriteTiles(TIFF* tiff, const TiffImage& image, int planes) {
    const std::size_t pixelBytes = static_cast<std::size_t>(image.bits * (image.separate ? 1 : image.samples) / 8);
    const auto side = static_cast<std::size_t>(image.tileSize);
    for (int plane = 0; plane < planes; ++plane) {
        for (int ty = 0; ty < image.height; ty += image.tileSize) {
            for (int tx = 0; tx < image.width; tx += image.tileSize) {
                Bytes tile(side * side * pixelBytes);
                for (int y = ty; y < std::min(ty + image.tileSize, image.height); ++y) {
                    const Bytes& row = image.rows[static_cast<std::size_t>(plane * image.height + y)];
                    const std::size_t from = static_cast<std::size_t>(tx) * pixelBytes;
                    const std::size_t count = std::min(side * pixelBytes, row.size() - from);
                    const std::size_t to = static_cast<std::size_t>(y - ty) * side * pixelBytes;
                    std::copy_n(row.begin() + static_cast<std::ptrdiff_t>(from), count,
                                tile.begin() + static_cast<std::ptrdiff_t>(to));
                }
                TIFFWriteTile(tiff, tile.data(), static_cast<std::uint32_t>(tx), static_cast<std::uint32_t>(ty), 0,
                              static_cast<std::uint16_t>(plane));
            }
        }
    }
}

}  // namespace

Bytes WithExifOrientation(const Bytes& jpeg, int orientation, bool bigEndian) {
    // IFD0 of three entries: the picture's description (a string stored elsewhere), the
    // orientation (a short stored in its entry) and the resolution unit, then no next IFD.
    const auto u16 = [bigEndian](Bytes& b, std::uint32_t v) {
        const std::uint8_t lo = static_cast<std::uint8_t>(v), hi = static_cast<std::uint8_t>(v >> 8);
        b.push_back(bigEndian ? hi : lo);
        b.push_back(bigEndian ? lo : hi);
    };
    const auto u32 = [&u16, bigEndian](Bytes& b, std::uint32_t v) {
        u16(b, bigEndian ? v >> 16 : v & 0xFFFF);
        u16(b, bigEndian ? v & 0xFFFF : v >> 16);
    };
    Bytes tiff = bigEndian ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
    u16(tiff, 42);
    u32(tiff, 8);
    u16(tiff, 3);
    // A short sits in the first half of its entry's value field.
    const auto entry = [&](std::uint32_t tag, std::uint32_t type, std::uint32_t value) {
        u16(tiff, tag);
        u16(tiff, type);
        u32(tiff, type == 2 ? 6 : 1);
        if (type == 3) {
            u16(tiff, value);
            u16(tiff, 0);
        } else {
            u32(tiff, value);
        }
    };
    entry(0x010E, 2, 8 + 2 + 3 * 12 + 4);  // the text comes right after the IFD
    entry(0x0112, 3, static_cast<std::uint32_t>(orientation));
    entry(0x0128, 3, 2);
    u32(tiff, 0);
    tiff.insert(tiff.end(), {'p', 'h', 'o', 't', 'o', 0});
    Bytes block = {'E', 'x', 'i', 'f', 0, 0};
    block.insert(block.end(), tiff.begin(), tiff.end());
    const std::size_t length = block.size() + 2;
    Bytes out(jpeg.begin(), jpeg.begin() + 2);  // the start-of-image marker
    out.insert(out.end(), {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes EncodeTiff(const gfx::TBitmap32& bitmap, TiffKind kind) {
    return WriteTiff([&](TIFF* tiff) { WriteKind(tiff, bitmap, kind); });
}

namespace {

void WriteKind(TIFF* tiff, const gfx::TBitmap32& bitmap, TiffKind kind) {
    const auto width = static_cast<std::uint32_t>(bitmap.Width());
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(bitmap.Height()));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4u);
    const bool rgb = kind == TiffKind::Rgb || kind == TiffKind::RgbLzw;
    const int samples = rgb ? 3 : 1;
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, kind == TiffKind::Fax ? 1 : 8);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, kind == TiffKind::RgbLzw        ? COMPRESSION_LZW
                                            : kind == TiffKind::GreyDeflate ? COMPRESSION_ADOBE_DEFLATE
                                            : kind == TiffKind::Fax         ? COMPRESSION_CCITTFAX3
                                                                            : COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, rgb ? PHOTOMETRIC_RGB
                                            : kind == TiffKind::Palette ? PHOTOMETRIC_PALETTE
                                            : kind == TiffKind::Fax     ? PHOTOMETRIC_MINISWHITE
                                                                        : PHOTOMETRIC_MINISBLACK);
    std::map<gfx::Color32, std::uint8_t> indices;
    if (kind == TiffKind::Palette) {
        std::vector<std::uint16_t> r(256), g(256), b(256);
        for (std::int32_t i = 0; i < bitmap.Width() * bitmap.Height(); ++i) {
            const gfx::Color32 c = bitmap.Bits()[i] | 0xFF000000u;
            if (indices.emplace(c, static_cast<std::uint8_t>(indices.size())).second) {
                r[indices.size() - 1] = static_cast<std::uint16_t>(gfx::RedOf(c) * 257);
                g[indices.size() - 1] = static_cast<std::uint16_t>(gfx::GreenOf(c) * 257);
                b[indices.size() - 1] = static_cast<std::uint16_t>(gfx::BlueOf(c) * 257);
            }
        }
        TIFFSetField(tiff, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        Bytes row(kind == TiffKind::Fax ? (width + 7) / 8 : width * static_cast<std::uint32_t>(samples));
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const gfx::Color32 c = bitmap.Pixel(x, y);
            const auto ux = static_cast<std::size_t>(x);
            if (rgb) {
                row[3 * ux] = gfx::RedOf(c);
                row[3 * ux + 1] = gfx::GreenOf(c);
                row[3 * ux + 2] = gfx::BlueOf(c);
            } else if (kind == TiffKind::Palette) {
                row[ux] = indices[c | 0xFF000000u];
            } else if (kind == TiffKind::Fax) {
                row[ux / 8] |= static_cast<std::uint8_t>(gfx::GreenOf(c) < 128 ? 0x80 >> (ux % 8) : 0);
            } else {
                row[ux] = gfx::GreenOf(c);
            }
        }
        TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0);
    }
}

}  // namespace

Bytes EncodeTiff(const TiffImage& image) {
    return WriteTiff([&image](TIFF* tiff) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.width));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.height));
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, image.samples);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, image.bits);
        TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, image.format);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, image.photometric);
        TIFFSetField(tiff, TIFFTAG_ORIENTATION, image.orientation);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, image.separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        if (image.photometric == PHOTOMETRIC_SEPARATED) {
            TIFFSetField(tiff, TIFFTAG_INKSET, image.inkSet);
        }
        if (!image.extraSamples.empty()) {
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, static_cast<std::uint16_t>(image.extraSamples.size()),
                         image.extraSamples.data());
        }
        if (image.range) {
            TIFFSetField(tiff, TIFFTAG_SMINSAMPLEVALUE, image.range->first);
            TIFFSetField(tiff, TIFFTAG_SMAXSAMPLEVALUE, image.range->second);
        }
        if (!image.icc.empty()) {
            TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(image.icc.size()), image.icc.data());
        }
        const int planes = image.separate ? image.samples : 1;
        if (image.tileSize > 0) {
            TIFFSetField(tiff, TIFFTAG_TILEWIDTH, static_cast<std::uint32_t>(image.tileSize));
            TIFFSetField(tiff, TIFFTAG_TILELENGTH, static_cast<std::uint32_t>(image.tileSize));
            WriteTiles(tiff, image, planes);
            return;
        }
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 2u);
        for (int plane = 0; plane < planes; ++plane) {
            for (int y = 0; y < image.height; ++y) {
                Bytes row = image.rows[static_cast<std::size_t>(plane * image.height + y)];
                TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), static_cast<std::uint16_t>(plane));
            }
        }
    });
}

Bytes PackSamples(const std::vector<std::uint64_t>& samples, int bits) {
    Bytes row;
    if (bits % 8 == 0) {
        for (const std::uint64_t v : samples) {
            for (int i = 0; i < bits / 8; ++i) {
                row.push_back(static_cast<std::uint8_t>(v >> (8 * i)));  // the machine is little-endian
            }
        }
        return row;
    }
    row.resize((samples.size() * static_cast<std::size_t>(bits) + 7) / 8);
    std::size_t bit = 0;
    for (const std::uint64_t v : samples) {
        for (int i = bits - 1; i >= 0; --i, ++bit) {
            row[bit / 8] |= static_cast<std::uint8_t>(((v >> i) & 1u) << (7 - bit % 8));
        }
    }
    return row;
}

std::uint64_t FloatBits(double value, int bits) {
    if (bits == 64) {
        std::uint64_t pattern = 0;
        std::memcpy(&pattern, &value, sizeof pattern);
        return pattern;
    }
    const auto single = static_cast<float>(value);
    std::uint32_t pattern = 0;
    std::memcpy(&pattern, &single, sizeof pattern);
    if (bits == 32) {
        return pattern;
    }
    // Half precision: sign, the exponent rebased from 127 to 15, the top ten fraction bits.
    if (single == 0.0f) {
        return (pattern >> 16) & 0x8000u;
    }
    const std::uint32_t exponent = ((pattern >> 23) & 0xFF) - 127 + 15;
    return ((pattern >> 16) & 0x8000u) | exponent << 10 | ((pattern >> 13) & 0x3FFu);
}

GifLayout SolidFramesGif(int width, int height, const std::vector<gfx::Color32>& colours, int delayCs) {
    GifLayout gif{width, height, colours, 0, 0, {}};
    for (std::size_t index = 0; index < colours.size(); ++index) {
        GifFrameLayout frame;
        frame.width = width;
        frame.height = height;
        frame.indices.assign(static_cast<std::size_t>(width * height), static_cast<std::uint8_t>(index));
        frame.delayCs = delayCs;
        gif.frames.push_back(frame);
    }
    return gif;
}

Bytes EncodeGif(const GifLayout& layout) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendGif, &error);
    EGifSetGifVersion(gif, true);
    const ColorMap global = MakeColorMap(layout.palette);
    EGifPutScreenDesc(gif, layout.width, layout.height, 8, layout.background, global.get());
    if (layout.loopCount) {
        const GifByteType loop[3] = {1, static_cast<GifByteType>(*layout.loopCount & 0xFF),
                                     static_cast<GifByteType>(*layout.loopCount >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const GifFrameLayout& frame : layout.frames) {
        PutFrame(gif, frame);
    }
    EGifCloseFile(gif, &error);
    return out;
}

Bytes EncodeBmp(const gfx::TBitmap32& bitmap) {
    const auto stride = static_cast<std::size_t>((bitmap.Width() * 3 + 3) / 4 * 4);
    Bytes b(54 + stride * static_cast<std::size_t>(bitmap.Height()));
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(bitmap.Width()));
    Put32(b, 22, static_cast<std::uint32_t>(bitmap.Height()));
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = b.data() + 54 + static_cast<std::size_t>(bitmap.Height() - 1 - y) * stride;
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const gfx::Color32 c = bitmap.Pixel(x, y);
            row[3 * x] = gfx::BlueOf(c);
            row[3 * x + 1] = gfx::GreenOf(c);
            row[3 * x + 2] = gfx::RedOf(c);
        }
    }
    return b;
}

Bytes IconBitmapImage(const gfx::TBitmap32& bitmap, int bits) {
    const std::int32_t w = bitmap.Width();
    const std::int32_t h = bitmap.Height();
    const auto colourStride = static_cast<std::size_t>((w * bits + 31) / 32 * 4);
    const auto maskStride = static_cast<std::size_t>((w + 31) / 32 * 4);
    const std::size_t colourAt = 40;
    const std::size_t maskAt = colourAt + colourStride * static_cast<std::size_t>(h);
    Bytes b(maskAt + maskStride * static_cast<std::size_t>(h));
    Put32(b, 0, 40);
    Put32(b, 4, static_cast<std::uint32_t>(w));
    Put32(b, 8, static_cast<std::uint32_t>(2 * h));
    Put16(b, 12, 1);
    Put16(b, 14, static_cast<std::uint32_t>(bits));
    for (std::int32_t y = 0; y < h; ++y) {
        const auto stored = static_cast<std::size_t>(h - 1 - y);  // bottom-up
        for (std::int32_t x = 0; x < w; ++x) {
            const gfx::Color32 c = bitmap.Pixel(x, y);
            const auto ux = static_cast<std::size_t>(x);
            std::uint8_t* p = b.data() + colourAt + stored * colourStride + ux * static_cast<std::size_t>(bits / 8);
            p[0] = gfx::BlueOf(c);
            p[1] = gfx::GreenOf(c);
            p[2] = gfx::RedOf(c);
            if (bits == 32) {
                p[3] = gfx::AlphaOf(c);
            } else if (gfx::AlphaOf(c) < 128) {
                b[maskAt + stored * maskStride + ux / 8] |= static_cast<std::uint8_t>(0x80 >> (ux % 8));
            }
        }
    }
    return b;
}

Bytes EncodeIco(const std::vector<IconEntry>& entries) {
    Bytes b(6 + 16 * entries.size());
    Put16(b, 2, 1);
    Put16(b, 4, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IconEntry& e = entries[i];
        const std::size_t at = 6 + 16 * i;
        b[at] = static_cast<std::uint8_t>(e.width == 256 ? 0 : e.width);
        b[at + 1] = static_cast<std::uint8_t>(e.height == 256 ? 0 : e.height);
        Put16(b, at + 4, 1);
        Put16(b, at + 6, static_cast<std::uint32_t>(e.bits));
        Put32(b, at + 8, static_cast<std::uint32_t>(e.image.size()));
        Put32(b, at + 12, static_cast<std::uint32_t>(b.size()));
        b.insert(b.end(), e.image.begin(), e.image.end());
    }
    return b;
}

}  // namespace testing_support
