#include "platform/Controls.h"

#include <cstdint>

namespace plat {

int ScaleToDpi(int value, int dpi) {
    // Rounded half away from zero, as the system scales.
    const std::int64_t scaled = std::int64_t{value} * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : (scaled - 48) / 96);
}

gfx::IntRect ScaleToDpi(const gfx::IntRect& r, int dpi) {
    return gfx::IntRect::FromSize(ScaleToDpi(r.left, dpi), ScaleToDpi(r.top, dpi), ScaleToDpi(r.Width(), dpi),
                                  ScaleToDpi(r.Height(), dpi));
}

}  // namespace plat
