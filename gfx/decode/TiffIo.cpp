#include "gfx/decode/TiffIo.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace gfx::tiff {

namespace {

// No strip or tile buffer of a picture within the cap comes near this.
constexpr tmsize_t kMaxSingleAllocation = tmsize_t{256} << 20;

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

// Errors are kept, the first of them as the reason; warnings are not shown anywhere.
int KeepError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* source = static_cast<Source*>(user);
    if (source->firstError.empty()) {
        char text[256] = {};
        std::vsnprintf(text, sizeof text, format, args);
        source->firstError = text;
    }
    return 1;
}

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct OptionsFreer {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

TiffFile OpenTiff(Source& source) {
    std::unique_ptr<TIFFOpenOptions, OptionsFreer> options(TIFFOpenOptionsAlloc());
    if (!options) {
        source.firstError = "out of memory";
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
    // Unmapped, so that libtiff never sees our memory as writable.
    return TiffFile(TIFFClientOpenExt("picture", "rm", &source, ReadBytes, WriteNothing, Seek, CloseNothing, SizeOf,
                                      MapNothing, UnmapNothing, options.get()));
}

std::string WithError(const Source& source, const std::string& what) {
    return source.firstError.empty() ? what : what + ": " + source.firstError;
}

}  // namespace gfx::tiff
