#include "slideshow/Filters.h"

#include <array>
#include <cmath>

namespace show {

namespace {

// The weights as tables, so that the rounding matches the double-precision sum exactly.
struct GreyTables {
    std::array<double, 256> red{};
    std::array<double, 256> green{};
    std::array<double, 256> blue{};
    GreyTables() {
        for (int v = 0; v < 256; ++v) {
            red[static_cast<std::size_t>(v)] = 0.1 * v;
            green[static_cast<std::size_t>(v)] = 0.6 * v;
            blue[static_cast<std::size_t>(v)] = 0.3 * v;
        }
    }
};

}  // namespace

void MakeGrey(gfx::TBitmap32& image) {
    static const GreyTables t;
    const std::size_t count = static_cast<std::size_t>(image.Width()) * static_cast<std::size_t>(image.Height());
    gfx::Color32* p = image.Bits();
    for (std::size_t i = 0; i < count; ++i) {
        const gfx::Color32 c = p[i];
        const double sum = t.blue[gfx::BlueOf(c)] + t.green[gfx::GreenOf(c)] + t.red[gfx::RedOf(c)];
        const auto v = static_cast<std::uint8_t>(std::nearbyint(sum));
        p[i] = gfx::MakeColor32(v, v, v, gfx::AlphaOf(c));
    }
}

void ApplyFilters(gfx::TBitmap32& image, std::int32_t filters) {
    if (filters & kFilterMirror) {
        image.Mirror();
    }
    if (filters & kFilterFlip) {
        image.Flip();
    }
    if (filters & kFilterGrey) {
        MakeGrey(image);
    }
}

}  // namespace show
