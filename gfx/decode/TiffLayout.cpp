#include "gfx/decode/TiffLayout.h"

#include "gfx/decode/Limits.h"

namespace gfx::tiff {

namespace {

bool OwnPhotometric(std::uint16_t p) {
    return p == PHOTOMETRIC_MINISBLACK || p == PHOTOMETRIC_MINISWHITE || p == PHOTOMETRIC_RGB ||
           p == PHOTOMETRIC_SEPARATED || p == PHOTOMETRIC_CIELAB;
}

// Without the tag, the colour channels decide, as libtiff does.
std::uint16_t PhotometricOf(TIFF* tiff, std::uint16_t colorChannels) {
    std::uint16_t photometric = 0;
    if (TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) == 1) {
        return photometric;
    }
    return colorChannels >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
}

std::optional<std::pair<double, double>> RangeOf(TIFF* tiff) {
    double low = 0.0;
    double high = 0.0;
    if (TIFFGetField(tiff, TIFFTAG_SMINSAMPLEVALUE, &low) != 1 ||
        TIFFGetField(tiff, TIFFTAG_SMAXSAMPLEVALUE, &high) != 1 || !(high > low)) {
        return std::nullopt;
    }
    return std::make_pair(low, high);
}

}  // namespace

std::optional<TLayout> ReadLayout(TIFF* tiff, std::string& why) {
    TLayout l;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t extraCount = 0;
    std::uint16_t* extraKinds = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) != 1 || TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) != 1 ||
        width == 0 || height == 0) {
        why = "no picture size";
        return std::nullopt;
    }
    // Beyond what a size holds is beyond the pixel cap too, which the caller tells.
    l.size = {ClampedDimension(width), ClampedDimension(height)};
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    l.orientation = OrientationFromValue(orientation);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &l.format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &l.planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &l.inkSet);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
    if (l.samples == 0 || extraCount >= l.samples) {
        why = "no colour samples";
        return std::nullopt;
    }
    l.colorChannels = static_cast<std::uint16_t>(l.samples - extraCount);
    if (extraCount > 0 && extraKinds != nullptr &&
        (extraKinds[0] == EXTRASAMPLE_ASSOCALPHA || extraKinds[0] == EXTRASAMPLE_UNASSALPHA)) {
        l.alpha = l.colorChannels;
        l.premultiplied = extraKinds[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    l.photometric = PhotometricOf(tiff, l.colorChannels);
    l.range = RangeOf(tiff);
    l.tiled = TIFFIsTiled(tiff) != 0;
    return l;
}

bool NeedsOwnReader(const TLayout& l) {
    if (!OwnPhotometric(l.photometric)) {
        return false;
    }
    const bool plainDepth = l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8 || l.bits == 16;
    const bool plainFormat = l.format == SAMPLEFORMAT_UINT || l.format == SAMPLEFORMAT_VOID;
    return !plainDepth || !plainFormat || l.alpha >= 0 || l.photometric == PHOTOMETRIC_CIELAB ||
           (l.photometric == PHOTOMETRIC_SEPARATED && l.bits != 8);
}

}  // namespace gfx::tiff
