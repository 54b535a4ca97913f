// ExtractBlob with any placement over any bytes: the first 13 bytes of the input choose the
// compressed flag, size, stored size and offset; the rest is the source file. A piece is either
// written whole and no larger than declared, or not left behind at all.

#include <cstdint>
#include <cstring>
#include <filesystem>

#include "fuzz/FuzzSupport.h"
#include "package/ExtractBlob.h"

namespace {

std::int64_t Field(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 13) {
        return 0;
    }
    const bool compressed = (data[0] & 1) != 0;
    const std::int64_t pieceSize = Field(data + 1);
    const std::int64_t storedSize = Field(data + 5);
    const std::int64_t offset = Field(data + 9);
    const std::string source = fuzz::WriteInput(data + 13, size - 13);
    const std::string target = fuzz::PieceFolder() + "SSIMG.JPG";
    const bool ok = pkg::ExtractBlob(source, target, compressed, pieceSize, storedSize, offset);
    std::error_code error;
    const bool exists = std::filesystem::exists(target, error);
    if (ok != exists || (ok && static_cast<std::int64_t>(std::filesystem::file_size(target)) > pieceSize)) {
        __builtin_trap();
    }
    fuzz::ClearPieces();
    return 0;
}
