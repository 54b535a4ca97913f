#include "platform/MovieHeader.h"

#include <zlib.h>

#include <cstring>
#include <vector>

#include "platform/Files.h"

namespace plat {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kSignatureBytes = 8;
constexpr std::size_t kRectBytes = 17;  // 5 + 4 x 31 bits
// The frame rectangle, the rate, the count and the first tags are all near the start.
constexpr std::size_t kHeadBytes = 64 * 1024;
constexpr std::uint16_t kShowFrameTag = 1;
constexpr std::uint16_t kBackgroundTag = 9;

// Up to kHeadBytes of a zlib stream, as far as it inflates.
Bytes InflateHead(const Bytes& stream) {
    Bytes out(kHeadBytes);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        return {};
    }
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    inflate(&z, Z_SYNC_FLUSH);
    out.resize(out.size() - z.avail_out);
    inflateEnd(&z);
    return out;
}

// Reads bit fields from the most significant bit of the first byte on.
class BitReader {
public:
    explicit BitReader(const std::uint8_t* bytes) : bytes_(bytes) {}

    std::uint32_t Take(int count) {
        std::uint32_t v = 0;
        for (int i = 0; i < count; ++i, ++bit_) {
            v = (v << 1) | ((bytes_[bit_ / 8] >> (7 - bit_ % 8)) & 1u);
        }
        return v;
    }

    std::size_t BytesUsed() const { return (bit_ + 7) / 8; }

private:
    const std::uint8_t* bytes_;
    std::size_t bit_ = 0;
};

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// The tags after the rate and count: the first background colour before the first frame.
std::optional<gfx::Color32> FindBackground(const Bytes& body, std::size_t at) {
    while (at + 2 <= body.size()) {
        const std::uint16_t codeAndLength = Get16(&body[at]);
        at += 2;
        const std::uint16_t code = codeAndLength >> 6;
        std::size_t length = codeAndLength & 0x3F;
        if (length == 0x3F) {
            if (at + 4 > body.size()) {
                return std::nullopt;
            }
            length = Get16(&body[at]) | (std::size_t{Get16(&body[at + 2])} << 16);
            at += 4;
        }
        if (code == kBackgroundTag && length >= 3 && at + 3 <= body.size()) {
            return gfx::MakeColor32(body[at], body[at + 1], body[at + 2]);
        }
        if (code == kShowFrameTag || code == 0 || length > body.size() - at) {
            return std::nullopt;
        }
        at += length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<MovieHeader> ReadMovieHeader(const std::string& path) {
    Bytes head(kHeadBytes);
    try {
        File in = File::OpenRead(path);
        std::size_t got = 0;
        while (got < head.size()) {
            const std::size_t n = in.Read(head.data() + got, head.size() - got);
            if (n == 0) {
                break;
            }
            got += n;
        }
        head.resize(got);
    } catch (const FileError&) {
        return std::nullopt;
    }
    if (head.size() < kSignatureBytes) {
        return std::nullopt;
    }
    MovieHeader h;
    h.compressed = std::memcmp(head.data(), "CWS", 3) == 0;
    Bytes body(head.begin() + kSignatureBytes, head.end());
    if (h.compressed) {
        body = InflateHead(body);
    }
    if (body.size() < kRectBytes) {
        return std::nullopt;
    }
    BitReader bits(body.data());
    const int n = static_cast<int>(bits.Take(5));
    h.xMin = bits.Take(n);
    h.xMax = bits.Take(n);
    h.yMin = bits.Take(n);
    h.yMax = bits.Take(n);
    const std::size_t at = bits.BytesUsed();
    if (at + 4 <= body.size()) {
        h.frameRate = Get16(&body[at]);
        h.frameCount = Get16(&body[at + 2]);
        h.background = FindBackground(body, at + 4);
    }
    return h;
}

std::uint64_t MoviePlayMs(const MovieHeader& header) {
    if (header.frameRate == 0) {
        return 0;
    }
    return std::uint64_t{header.frameCount} * 1000 * 256 / header.frameRate;
}

}  // namespace plat
