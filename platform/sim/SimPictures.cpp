// The simulated system's picture services: our own bitmap and icon decoders. Metafiles are not
// rendered here, so such items are skipped on the simulated platform.

#include <fstream>
#include <iterator>
#include <vector>

#include "gfx/decode/BmpDecoder.h"
#include "gfx/decode/IcoDecoder.h"
#include "gfx/decode/Limits.h"
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

std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() > gfx::kMaxPictureFileBytes) {
        return std::nullopt;
    }
    in.seekg(0);
    return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::optional<gfx::TBitmap32> LoadSystemPicture(const std::string& path) {
    const std::string ext = UpperExtension(path);
    const bool bitmap = ext == ".BMP" || ext == ".RLE" || ext == ".DIB";
    if (!bitmap && ext != ".ICO") {
        return std::nullopt;
    }
    const auto bytes = ReadWhole(path);
    if (!bytes) {
        return std::nullopt;
    }
    return bitmap ? gfx::DecodeBmp(bytes->data(), bytes->size()) : gfx::DecodeIco(*bytes);
}

}  // namespace plat
