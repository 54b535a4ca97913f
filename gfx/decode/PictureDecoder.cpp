#include "gfx/decode/PictureDecoder.h"

#include <utility>

namespace gfx {

TPicture StillPicture(TBitmap32 bitmap) {
    TPicture picture;
    picture.size = {bitmap.Width(), bitmap.Height()};
    picture.frames.push_back(TPictureFrame{.bitmap = std::move(bitmap)});
    return picture;
}

std::string BeyondCap(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels are beyond the pixel cap";
}

}  // namespace gfx
