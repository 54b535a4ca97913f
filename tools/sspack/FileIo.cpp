#include "tools/sspack/FileIo.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace sspack {

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary | std::ios::ate);
    if (!in) {
        throw FileIoError("cannot open " + path);
    }
    const std::streamoff size = in.tellg();
    if (size < 0) {
        throw FileIoError("cannot read " + path);
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        throw FileIoError("cannot read " + path);
    }
    return bytes;
}

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const fs::path target(path);
    fs::path partial = target;
    partial += ".partial";
    try {
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                throw FileIoError("cannot write " + partial.string());
            }
        }
        fs::rename(partial, target);
    } catch (const std::exception& e) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw FileIoError(std::string("cannot write ") + path + ": " + e.what());
    }
}

}  // namespace sspack
