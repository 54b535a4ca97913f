#include "gfx/decode/TiffDecoder.h"

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

}  // namespace

bool TTiffDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    opened_ = false;
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
