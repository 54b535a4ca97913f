#include "gfx/decode/TiffRgba.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace gfx::tiff {

namespace {

struct RgbaEnd {
    void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

// libtiff packs red in the low byte; 0xAARRGGBB, opaque.
void ToColors(const std::uint32_t* abgr, Color32* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto channel = [](std::uint32_t v) { return static_cast<std::uint8_t>(v); };
        out[i] = MakeColor32(channel(TIFFGetR(abgr[i])), channel(TIFFGetG(abgr[i])), channel(TIFFGetB(abgr[i])));
    }
}

// Rows a band: a whole strip or row of tiles, so that each is decoded once.
std::uint32_t BandRows(TIFF* tiff, const TLayout& l) {
    std::uint32_t rows = 0;
    if (l.tiled) {
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &rows);
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
    }
    return std::clamp<std::uint32_t>(rows, 1, static_cast<std::uint32_t>(l.size.height));
}

}  // namespace

std::string RgbaRefusal(TIFF* tiff) {
    char message[1024] = {};
    return TIFFRGBAImageOK(tiff, message) == 1 ? std::string() : std::string(message);
}

bool ReadRgba(TIFF* tiff, const TLayout& l, TOrientedRows& out, std::string& why) {
    char message[1024] = {};
    TIFFRGBAImage image{};
    if (TIFFRGBAImageBegin(&image, tiff, 1, message) != 1) {
        why = message;
        return false;
    }
    const std::unique_ptr<TIFFRGBAImage, RgbaEnd> end(&image);
    // Asking for the page's own orientation makes libtiff flip nothing: rows come as stored.
    image.req_orientation = image.orientation;
    const auto width = static_cast<std::uint32_t>(l.size.width);
    const auto height = static_cast<std::uint32_t>(l.size.height);
    const std::uint32_t band = BandRows(tiff, l);
    std::vector<std::uint32_t> raster;
    std::vector<Color32> pixels;
    for (std::uint32_t y = 0; y < height; y += band) {
        const std::uint32_t rows = std::min(band, height - y);
        // Rows kept in place share the picture's memory; others need a band of their own.
        Color32* inPlace = out.RowInPlace(static_cast<std::int32_t>(y));
        if (inPlace == nullptr) {
            raster.resize(std::size_t{width} * rows);
            pixels.resize(width);
        }
        auto* target = inPlace != nullptr ? reinterpret_cast<std::uint32_t*>(inPlace) : raster.data();
        image.row_offset = static_cast<int>(y);
        if (TIFFRGBAImageGet(&image, target, width, rows) != 1) {
            why = "the pixels cannot be decoded";
            return false;
        }
        if (inPlace != nullptr) {
            ToColors(target, inPlace, std::size_t{width} * rows);
            continue;
        }
        for (std::uint32_t r = 0; r < rows; ++r) {
            ToColors(raster.data() + std::size_t{r} * width, pixels.data(), width);
            out.Put(0, static_cast<std::int32_t>(y + r), pixels.data(), static_cast<std::int32_t>(width));
        }
    }
    return true;
}

}  // namespace gfx::tiff
