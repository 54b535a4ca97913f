// The simulated system's picture services: our own bitmap decoder. Icons and metafiles are not
// decoded here, so such items are skipped on the simulated platform.

#include <fstream>
#include <iterator>
#include <vector>

#include "gfx/decode/BmpDecoder.h"
#include "platform/Pictures.h"

namespace plat {

namespace {

// The file's extension with its dot, upper-cased.
std::string UpperExtension(const std::string& path) {
    const auto dot = path.find_last_of(".\\/");
    std::string ext = dot != std::string::npos && path[dot] == '.' ? path.substr(dot) : std::string();
    for (char& c : ext) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return ext;
}

}  // namespace

std::optional<gfx::TBitmap32> LoadSystemPicture(const std::string& path) {
    const std::string ext = UpperExtension(path);
    if (ext != ".BMP" && ext != ".RLE" && ext != ".DIB") {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return gfx::DecodeBmp(bytes.data(), bytes.size());
}

}  // namespace plat
