#include <vector>

#include "platform/Files.h"

namespace plat {

namespace {

constexpr std::size_t kCopyChunk = 512 * 1024;

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == PathDelimiter()) {
        return folder + name;
    }
    return folder + PathDelimiter() + name;
}

void CopyFileReplacing(const std::string& source, const std::string& target) {
    File in = File::OpenRead(source);
    File out = File::Create(target);
    try {
        std::vector<std::uint8_t> chunk(kCopyChunk);
        while (const std::size_t n = in.Read(chunk.data(), chunk.size())) {
            out.Write(chunk.data(), n);
        }
        out.Close();
    } catch (const FileError&) {
        out.Close();
        RemoveFile(target);
        throw;
    }
}

}  // namespace plat
