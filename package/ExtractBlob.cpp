#include "package/ExtractBlob.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "package/PackageFormat.h"
#include "platform/Files.h"

namespace pkg {

namespace {

bool InRange(std::int64_t offset, std::int64_t length, std::int64_t fileSize) {
    return offset >= 0 && length >= 0 && offset <= fileSize && length <= fileSize - offset;
}

void CopyStored(plat::File& in, plat::File& out, std::int64_t size) {
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::int64_t>(size, kCopyChunk)));
    while (size > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(size, kCopyChunk));
        in.ReadExact(chunk.data(), n);
        out.Write(chunk.data(), n);
        size -= static_cast<std::int64_t>(n);
    }
}

class Inflater {
public:
    Inflater() {
        if (inflateInit(&stream_) != Z_OK) {
            throw plat::FileError("zlib: cannot initialise");
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
};

// Streams the inflated bytes to the target so that a large declared size allocates nothing.
void CopyInflated(plat::File& in, plat::File& out, std::int64_t size, std::int64_t storedSize) {
    Inflater inflater;
    z_stream& z = inflater.Stream();
    std::vector<std::uint8_t> input(static_cast<std::size_t>(std::min<std::int64_t>(storedSize, kCopyChunk)));
    std::vector<std::uint8_t> output(kCopyChunk);
    std::int64_t toRead = storedSize;
    std::int64_t written = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (z.avail_in == 0) {
            if (toRead == 0) {
                throw plat::FileError("zlib: stream ends early");
            }
            const auto n = static_cast<std::size_t>(std::min<std::int64_t>(toRead, kCopyChunk));
            in.ReadExact(input.data(), n);
            toRead -= static_cast<std::int64_t>(n);
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(n);
        }
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(output.size());
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            throw plat::FileError("zlib: corrupt stream");
        }
        const auto produced = static_cast<std::int64_t>(output.size() - z.avail_out);
        if (written + produced > size) {
            throw plat::FileError("zlib: stream inflates past its declared size");
        }
        out.Write(output.data(), static_cast<std::size_t>(produced));
        written += produced;
    }
}

}  // namespace

bool ExtractBlob(const std::string& source, const std::string& target, bool compressed, std::int64_t size,
                 std::int64_t storedSize, std::int64_t offset) {
    try {
        plat::File in = plat::File::OpenRead(source);
        const std::int64_t length = compressed ? storedSize : size;
        if (size < 0 || !InRange(offset, length, in.Size())) {
            throw plat::FileError("piece lies outside the file");
        }
        in.Seek(offset);
        plat::File out = plat::File::Create(target);
        if (compressed) {
            CopyInflated(in, out, size, storedSize);
        } else {
            CopyStored(in, out, size);
        }
        return true;
    } catch (const std::exception&) {
        // Files are closed by now; a target left from an earlier piece must not pass for this one.
        plat::RemoveFile(target);
        return false;
    }
}

}  // namespace pkg
