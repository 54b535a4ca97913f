#include "gfx/decode/TiffDecoder.h"

#include <vector>

#include "gfx/decode/Limits.h"
#include "gfx/decode/TiffIo.h"
#include "gfx/decode/TiffLayout.h"
#include "gfx/decode/TiffRgba.h"
#include "gfx/decode/TiffSamples.h"

namespace gfx {

namespace {

using tiff::TLayout;

// The first page's layout when one of the readers can show it and the cap allows it; else why not.
// The size its tags state goes to `stated` either way.
std::optional<TLayout> ReadablePage(TIFF* file, tiff::Source& source, std::string& why, IntSize& stated) {
    auto layout = tiff::ReadLayout(file, why);
    if (!layout) {
        why = tiff::WithError(source, why);
        return std::nullopt;
    }
    stated = layout->size;
    if (!PictureSizeAllowed(layout->size.width, layout->size.height)) {
        why = BeyondCap(layout->size.width, layout->size.height);
        return std::nullopt;
    }
    why = tiff::NeedsOwnReader(*layout) ? tiff::SamplesRefusal(*layout) : tiff::RgbaRefusal(file);
    if (!why.empty()) {
        return std::nullopt;
    }
    return layout;
}

// The ICC profile of an RGB page (stored as RGB, as YCbCr or through a palette of RGB colours).
// Grey, CMYK and CIELab pages have profiles of their own kinds, which do not describe the RGB rows
// they are read to.
std::vector<std::uint8_t> IccProfileOf(TIFF* file, const TLayout& layout) {
    const std::uint16_t p = layout.photometric;
    std::uint32_t length = 0;
    const void* data = nullptr;
    if ((p != PHOTOMETRIC_RGB && p != PHOTOMETRIC_YCBCR && p != PHOTOMETRIC_PALETTE) ||
        TIFFGetField(file, TIFFTAG_ICCPROFILE, &length, &data) != 1 || data == nullptr) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + length};
}

}  // namespace

bool TTiffDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    opened_ = false;
    iccProfile_.clear();
    ClearFailure();
    tiff::Source source{bytes};
    const tiff::TiffFile file = tiff::OpenTiff(source);
    if (!file) {
        SetFailure(tiff::WithError(source, "not a TIFF file"));
        return false;
    }
    std::string why;
    stated_ = {};
    const auto layout = ReadablePage(file.get(), source, why, stated_);
    if (!layout) {
        SetFailure(why);
        return false;
    }
    size_ = OrientedSize(layout->size, layout->orientation);
    iccProfile_ = IccProfileOf(file.get(), *layout);
    opened_ = true;
    return true;
}

std::optional<TPicture> TTiffDecoder::Frames() {
    if (!opened_) {
        return std::nullopt;
    }
    return Guarded([this] { return Decode(); });
}

std::optional<TPicture> TTiffDecoder::Decode() {
    tiff::Source source{bytes_};
    const tiff::TiffFile file = tiff::OpenTiff(source);
    std::string why = "not a TIFF file";
    IntSize stated;
    const auto layout = file ? ReadablePage(file.get(), source, why, stated) : std::nullopt;
    if (!layout || OrientedSize(layout->size, layout->orientation) != size_) {
        SetFailure(layout ? "the page changed between reads" : why);
        return std::nullopt;
    }
    TOrientedRows out(layout->size, layout->orientation);
    const bool read = tiff::NeedsOwnReader(*layout) ? tiff::ReadSamples(file.get(), *layout, out, why)
                                                    : tiff::ReadRgba(file.get(), *layout, out, why);
    if (!read) {
        SetFailure(tiff::WithError(source, why));
        return std::nullopt;
    }
    return StillPicture(out.Take());
}

}  // namespace gfx
