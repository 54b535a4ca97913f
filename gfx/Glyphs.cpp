#include "gfx/Glyphs.h"

#include <map>
#include <vector>

namespace gfx {

namespace {

struct Point {
    double x;
    double y;
};
using Outline = std::vector<Point>;  // in a unit square, y downwards

const std::map<std::string, std::vector<Outline>>& Glyphs() {
    static const std::map<std::string, std::vector<Outline>> glyphs = {
        {"up", {{{0.5, 0.24}, {0.84, 0.72}, {0.16, 0.72}}}},
        {"down", {{{0.16, 0.28}, {0.84, 0.28}, {0.5, 0.76}}}},
        {"play", {{{0.3, 0.18}, {0.82, 0.5}, {0.3, 0.82}}}},
        {"pause", {{{0.26, 0.2}, {0.43, 0.2}, {0.43, 0.8}, {0.26, 0.8}}, {{0.57, 0.2}, {0.74, 0.2}, {0.74, 0.8}, {0.57, 0.8}}}},
        {"stop", {{{0.24, 0.24}, {0.76, 0.24}, {0.76, 0.76}, {0.24, 0.76}}}},
        {"back", {{{0.2, 0.2}, {0.32, 0.2}, {0.32, 0.8}, {0.2, 0.8}}, {{0.8, 0.2}, {0.8, 0.8}, {0.36, 0.5}}}},
        {"next", {{{0.68, 0.2}, {0.8, 0.2}, {0.8, 0.8}, {0.68, 0.8}}, {{0.2, 0.2}, {0.64, 0.5}, {0.2, 0.8}}}},
        {"close", {{{0.26, 0.18}, {0.5, 0.42}, {0.74, 0.18}, {0.82, 0.26}, {0.58, 0.5}, {0.82, 0.74}, {0.74, 0.82},
                    {0.5, 0.58}, {0.26, 0.82}, {0.18, 0.74}, {0.42, 0.5}, {0.18, 0.26}}}},
    };
    return glyphs;
}

// Even-odd test of a point against one outline.
bool Inside(const Outline& outline, double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const Point& a = outline[i];
        const Point& b = outline[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

}  // namespace

TBitmap32 DrawGlyph(const std::string& name, std::int32_t size, Color32 color) {
    TBitmap32 glyph(size, size, 0);
    const auto it = Glyphs().find(name);
    if (it == Glyphs().end() || size <= 0) {
        return glyph;
    }
    // Coverage from 4 x 4 samples a pixel: smooth edges without a rasteriser.
    constexpr int kSamples = 4;
    for (std::int32_t y = 0; y < size; ++y) {
        for (std::int32_t x = 0; x < size; ++x) {
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double u = (x + (sx + 0.5) / kSamples) / size;
                    const double v = (y + (sy + 0.5) / kSamples) / size;
                    for (const Outline& outline : it->second) {
                        if (Inside(outline, u, v)) {
                            ++covered;
                            break;
                        }
                    }
                }
            }
            const auto alpha = static_cast<std::uint8_t>(covered * 255 / (kSamples * kSamples));
            glyph.SetPixel(x, y, (color & 0x00FFFFFFu) | (Color32{alpha} << 24));
        }
    }
    return glyph;
}

}  // namespace gfx
