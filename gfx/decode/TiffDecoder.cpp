#include "gfx/decode/TiffDecoder.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <tiffio.h>

#include "gfx/decode/Limits.h"

namespace gfx {

namespace {

// No strip or tile buffer of a picture within the cap comes near this.
constexpr tmsize_t kMaxSingleAllocation = tmsize_t{256} << 20;

struct Source {
    std::span<const std::uint8_t> bytes;
    toff_t at = 0;
};

tmsize_t ReadBytes(thandle_t handle, void* out, tmsize_t count) {
    auto* source = static_cast<Source*>(handle);
    const toff_t size = source->bytes.size();
    const toff_t available = source->at < size ? size - source->at : 0;
    const auto wanted = static_cast<toff_t>(std::max<tmsize_t>(count, 0));
    const auto n = static_cast<std::size_t>(std::min(wanted, available));
    if (n == 0) {
        return 0;
    }
    std::memcpy(out, source->bytes.data() + source->at, n);
    source->at += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteNothing(thandle_t, void*, tmsize_t) { return -1; }

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    auto* source = static_cast<Source*>(handle);
    // Offsets are unsigned: a step back wraps around, as the sum does.
    const toff_t base = whence == SEEK_CUR ? source->at : whence == SEEK_END ? source->bytes.size() : 0;
    source->at = base + offset;
    return source->at;
}

int CloseNothing(thandle_t) { return 0; }

toff_t SizeOf(thandle_t handle) { return static_cast<Source*>(handle)->bytes.size(); }

int MapNothing(thandle_t, void**, toff_t*) { return 0; }

void UnmapNothing(thandle_t, void*, toff_t) {}

// Errors and warnings are not shown anywhere: a failure is reported by the call's result.
int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

struct OptionsFreer {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// Opens the bytes read-only and unmapped (libtiff then never sees our memory as writable).
TiffFile OpenTiff(Source& source) {
    std::unique_ptr<TIFFOpenOptions, OptionsFreer> options(TIFFOpenOptionsAlloc());
    if (!options) {
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
    return TiffFile(TIFFClientOpenExt("picture", "rm", &source, ReadBytes, WriteNothing, Seek, CloseNothing, SizeOf,
                                      MapNothing, UnmapNothing, options.get()));
}

// The first page's size when libtiff can give it as RGBA and the cap allows it; the size its tags
// state goes to `stated` either way.
std::optional<IntSize> PageSize(TIFF* tiff, IntSize& stated) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    char message[1024] = {};
    if (TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) != 1 || TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) != 1) {
        return std::nullopt;
    }
    stated = {ClampedDimension(width), ClampedDimension(height)};
    if (TIFFRGBAImageOK(tiff, message) != 1 || !PictureSizeAllowed(width, height)) {
        return std::nullopt;
    }
    return IntSize{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

}  // namespace

bool TTiffDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    Source source{bytes};
    const TiffFile tiff = OpenTiff(source);
    stated_ = {};
    const auto size = tiff ? PageSize(tiff.get(), stated_) : std::nullopt;
    opened_ = size.has_value();
    size_ = size.value_or(IntSize{});
    return opened_;
}

std::optional<TPicture> TTiffDecoder::Frames() {
    if (!opened_) {
        return std::nullopt;
    }
    try {
        Source source{bytes_};
        const TiffFile tiff = OpenTiff(source);
        IntSize stated;
        if (!tiff || PageSize(tiff.get(), stated) != size_) {
            return std::nullopt;
        }
        TBitmap32 out(size_.width, size_.height);
        if (TIFFReadRGBAImageOriented(tiff.get(), static_cast<std::uint32_t>(size_.width),
                                      static_cast<std::uint32_t>(size_.height), out.Bits(), ORIENTATION_TOPLEFT,
                                      1) != 1) {
            return std::nullopt;
        }
        // libtiff packs red in the low byte; make 0xAARRGGBB, opaque.
        const std::size_t count = static_cast<std::size_t>(size_.width) * static_cast<std::size_t>(size_.height);
        Color32* pixels = out.Bits();
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t abgr = pixels[i];
            const auto channel = [](std::uint32_t v) { return static_cast<std::uint8_t>(v); };
            pixels[i] = MakeColor32(channel(TIFFGetR(abgr)), channel(TIFFGetG(abgr)), channel(TIFFGetB(abgr)));
        }
        return StillPicture(std::move(out));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace gfx
