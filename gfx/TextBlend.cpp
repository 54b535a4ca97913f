#include "gfx/TextBlend.h"

namespace gfx {

namespace {

std::uint8_t Mix(std::uint32_t from, std::uint32_t to, std::uint32_t weight) {
    return static_cast<std::uint8_t>((from * (255 - weight) + to * weight + 127) / 255);
}

}  // namespace

void BlendCoverage(TBitmap32& target, IntPoint at, const TCoverage& mask, Color32 color, bool antialiased) {
    const IntRect placed = IntRect::FromSize(at.x, at.y, mask.size.width, mask.size.height);
    const IntRect area = placed.Intersect(target.BoundsRect());
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
        const std::uint8_t* coverage = mask.values + (y - at.y) * mask.stride;
        Color32* row = target.Row(y);
        for (std::int32_t x = area.left; x < area.right; ++x) {
            std::uint32_t weight = coverage[x - at.x];
            if (!antialiased) {
                weight = weight >= 128 ? 255 : 0;
            }
            if (weight == 0) {
                continue;
            }
            const Color32 d = row[x];
            row[x] = MakeColor32(Mix(RedOf(d), RedOf(color), weight), Mix(GreenOf(d), GreenOf(color), weight),
                                 Mix(BlueOf(d), BlueOf(color), weight), Mix(AlphaOf(d), 255, weight));
        }
    }
}

}  // namespace gfx
