#include "slideshow/AnchorPlace.h"

namespace show {

gfx::IntPoint AnchorPlace(std::int32_t code, gfx::IntSize object, gfx::IntSize frame, std::int32_t dx,
                          std::int32_t dy) {
    const std::int32_t left = dx;
    const std::int32_t right = frame.width - object.width - dx;
    const std::int32_t middleX = (frame.width - object.width) / 2 + dx;
    const std::int32_t top = dy;
    const std::int32_t bottom = frame.height - object.height - dy;
    const std::int32_t middleY = (frame.height - object.height) / 2 + dy;
    switch (static_cast<std::uint32_t>(code)) {
        case 0: return {left, top};
        case 1: return {right, top};
        case 2: return {middleX, top};
        case 3: return {left, bottom};
        case 4: return {right, bottom};
        case 5: return {middleX, bottom};
        default: return {middleX, middleY};
    }
}

}  // namespace show
