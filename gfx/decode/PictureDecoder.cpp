#include "gfx/decode/PictureDecoder.h"

#include <utility>

namespace gfx {

TPicture StillPicture(TBitmap32 bitmap) {
    TPicture picture;
    picture.size = {bitmap.Width(), bitmap.Height()};
    picture.frames.push_back(TPictureFrame{.bitmap = std::move(bitmap)});
    return picture;
}

}  // namespace gfx
