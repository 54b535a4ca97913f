#include "slideshow/FlashMovie.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/Files.h"

namespace show {

namespace {

constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kRectangleBytes = 17;  // 5 + 4 x 31 bits at most
// A compressed header's rectangle comes out of the first few hundred bytes of its stream.
constexpr std::size_t kMostFileBytes = 64 * 1024;

using Rectangle = std::array<std::uint8_t, kRectangleBytes>;

// The first bytes of the zlib stream's output; nothing when it ends or breaks before them.
std::optional<Rectangle> Inflated(std::span<const std::uint8_t> stream) {
    Rectangle out{};
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        return std::nullopt;
    }
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int status = Z_OK;
    while (z.avail_out > 0 && status == Z_OK) {
        status = inflate(&z, Z_SYNC_FLUSH);
    }
    inflateEnd(&z);
    if (z.avail_out > 0) {
        return std::nullopt;
    }
    return out;
}

std::optional<Rectangle> Stored(std::span<const std::uint8_t> body) {
    if (body.size() < kRectangleBytes) {
        return std::nullopt;
    }
    Rectangle out{};
    std::memcpy(out.data(), body.data(), out.size());
    return out;
}

// Reads the rectangle's bits from the highest bit of its first byte on.
class Bits {
public:
    explicit Bits(const Rectangle& bytes) : bytes_(bytes) {}

    std::uint32_t Take(unsigned count) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < count; ++i, ++at_) {
            value = value << 1 | ((bytes_[at_ / 8] >> (7 - at_ % 8)) & 1u);
        }
        return value;
    }

private:
    const Rectangle& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<gfx::IntSize> MovieFrameSize(std::span<const std::uint8_t> movie) {
    if (movie.size() < kHeaderBytes) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> body = movie.subspan(kHeaderBytes);
    const auto rectangle = std::memcmp(movie.data(), "CWS", 3) == 0 ? Inflated(body) : Stored(body);
    if (!rectangle) {
        return std::nullopt;
    }
    Bits bits(*rectangle);
    const unsigned n = bits.Take(5);
    bits.Take(n);  // Xmin
    const std::uint32_t xMax = bits.Take(n);
    bits.Take(n);  // Ymin
    const std::uint32_t yMax = bits.Take(n);
    return gfx::IntSize{static_cast<std::int32_t>(xMax / 20), static_cast<std::int32_t>(yMax / 20)};
}

std::optional<gfx::IntSize> MovieFrameSizeOfFile(const std::string& path) {
    try {
        plat::File file = plat::File::OpenRead(path);
        const std::int64_t size = file.Size();
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::clamp<std::int64_t>(size, 0, kMostFileBytes)));
        file.ReadExact(bytes.data(), bytes.size());
        return MovieFrameSize(bytes);
    } catch (const plat::FileError&) {
        return std::nullopt;
    }
}

}  // namespace show
