#include "tools/sspack/Deflate.h"

#include <zlib.h>

#include <stdexcept>

namespace sspack {

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> bytes) {
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<std::uint8_t> stream(length);
    if (compress2(stream.data(), &length, bytes.data(), static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) !=
        Z_OK) {
        throw std::runtime_error("zlib cannot compress a piece");
    }
    stream.resize(length);
    return stream;
}

}  // namespace sspack
