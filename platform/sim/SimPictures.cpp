// The simulated system's picture services: our own bitmap and icon decoders. Metafiles are not
// rendered here, so such items are skipped on the simulated platform.

#include <vector>

#include "gfx/decode/BmpDecoder.h"
#include "gfx/decode/IcoDecoder.h"
#include "platform/PictureFiles.h"
#include "platform/Pictures.h"

namespace plat {

std::optional<gfx::TBitmap32> LoadSystemPicture(const std::string& path) {
    const std::string ext = UpperExtension(path);
    const bool bitmap = ext == ".BMP" || ext == ".RLE" || ext == ".DIB";
    if (!bitmap && ext != ".ICO") {
        return std::nullopt;
    }
    const auto bytes = ReadPictureBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    return bitmap ? gfx::DecodeBmp(bytes->data(), bytes->size()) : gfx::DecodeIco(*bytes);
}

}  // namespace plat
