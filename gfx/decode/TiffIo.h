#pragma once

// libtiff over bytes in memory, read-only, with the library's first error kept as the reason a
// read fails.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include <tiffio.h>

namespace gfx::tiff {

struct Source {
    std::span<const std::uint8_t> bytes;
    toff_t at = 0;
    std::string firstError;  // libtiff's first error message, if any
};

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

// Opens the bytes (the first page current); null when libtiff cannot, with the source's
// firstError saying why. The source must outlive the file.
TiffFile OpenTiff(Source& source);

// What failed, followed by libtiff's first error since opening when it reported one.
std::string WithError(const Source& source, const std::string& what);

}  // namespace gfx::tiff
