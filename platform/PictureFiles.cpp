#include "platform/PictureFiles.h"

#include <fstream>
#include <iterator>

#include "gfx/decode/Limits.h"

namespace plat {

std::string UpperExtension(const std::string& path) {
    const auto dot = path.find_last_of(".\\/");
    std::string ext = dot != std::string::npos && path[dot] == '.' ? path.substr(dot) : std::string();
    for (char& c : ext) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return ext;
}

std::optional<std::vector<std::uint8_t>> ReadPictureBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() > gfx::kMaxPictureFileBytes) {
        return std::nullopt;
    }
    in.seekg(0);
    return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace plat
