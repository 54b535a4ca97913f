#include <png.h>

#include <bit>
#include <cstdio>
#include <cstring>

#include "gfx/io/ImageFiles.h"

namespace gfx::io {

// 0xAARRGGBB words are B, G, R, A bytes in memory.
static_assert(std::endian::native == std::endian::little);

namespace {

struct ImageGuard {
    png_image image{};
    ImageGuard() { image.version = PNG_IMAGE_VERSION; }
    ~ImageGuard() { png_image_free(&image); }
};

}  // namespace

TBitmap32 ReadPng(const std::string& path) {
    ImageGuard g;
    if (!png_image_begin_read_from_file(&g.image, path.c_str())) {
        throw ImageFileError(path + ": " + g.image.message);
    }
    g.image.format = PNG_FORMAT_BGRA;
    if (g.image.width > 30000 || g.image.height > 30000) {
        throw ImageFileError(path + ": picture too large");
    }
    TBitmap32 bitmap(static_cast<std::int32_t>(g.image.width), static_cast<std::int32_t>(g.image.height));
    if (!png_image_finish_read(&g.image, nullptr, bitmap.Bits(), 0, nullptr)) {
        throw ImageFileError(path + ": " + g.image.message);
    }
    return bitmap;
}

void WritePng(const std::string& path, const TBitmap32& bitmap, PngCompression compression) {
    ImageGuard g;
    g.image.width = static_cast<png_uint_32>(bitmap.Width());
    g.image.height = static_cast<png_uint_32>(bitmap.Height());
    g.image.format = PNG_FORMAT_BGRA;
    if (compression == PngCompression::Fast) {
        g.image.flags |= PNG_IMAGE_FLAG_FAST;
    }
    if (!png_image_write_to_file(&g.image, path.c_str(), 0, bitmap.Bits(), 0, nullptr)) {
        throw ImageFileError(path + ": " + g.image.message);
    }
}

TBitmap32 ReadImage(const std::string& path) {
    unsigned char magic[4] = {};
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        const std::size_t n = std::fread(magic, 1, sizeof magic, f);
        std::fclose(f);
        if (n == sizeof magic && std::memcmp(magic, "GIF8", 4) == 0) {
            return ReadGif(path);
        }
        return ReadPng(path);
    }
    throw ImageFileError(path + ": cannot open");
}

}  // namespace gfx::io
