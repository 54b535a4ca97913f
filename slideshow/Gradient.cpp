// The background gradient: two colours in one of eight figures. Shapes are filled without an
// outline; ellipses and polygons go through regions, so that the figure is the same pixel for
// pixel on every platform.

#include "slideshow/Gradient.h"

#include <array>
#include <cstdlib>
#include <limits>

#include "gfx/Region.h"
#include "platform/Colors.h"

namespace show {

namespace {

using gfx::IntPoint;
using gfx::IntRect;
using gfx::TBitmap32;
using gfx::TColor;

// The colour channels of a package colour, red first; a system colour gives the system's.
std::array<std::int32_t, 3> Channels(TColor c) {
    const auto v = static_cast<std::uint32_t>(plat::ResolveColor(c));
    return {static_cast<std::int32_t>(v & 0xFF), static_cast<std::int32_t>((v >> 8) & 0xFF),
            static_cast<std::int32_t>((v >> 16) & 0xFF)};
}

std::int32_t Trunc(double v) { return static_cast<std::int32_t>(v); }

// Style 1 (rows) and style 2 (columns): 256 bands, band i from MulDiv(i, extent, 256) to
// MulDiv(i + 1, extent, 256). Many bands of a small extent cover nothing.
void Bands(TBitmap32& t, TColor c1, TColor c2, bool rows) {
    const std::int32_t extent = rows ? t.Height() : t.Width();
    for (std::int32_t i = 0; i <= 255; ++i) {
        const std::int32_t from = MulDiv(i, extent, 256);
        const std::int32_t to = MulDiv(i + 1, extent, 256);
        const IntRect band = rows ? IntRect{0, from, t.Width(), to} : IntRect{from, 0, to, t.Height()};
        t.FillRect(band, GradientStep(c1, c2, i, 255));
    }
}

// Style 3: 156 ellipses from well outside the picture inwards, each bound moved before it is drawn.
void Ellipses(TBitmap32& t, TColor c1, TColor c2) {
    const double w = t.Width();
    const double h = t.Height();
    double left = -w / 4;
    double right = w + w / 4 + 4;
    double top = -h / 4;
    double bottom = h + h / 4 + 4;
    const double dx = (w / 2 + w / 4) / 155;
    const double dy = (h / 2 + h / 4) / 155;
    for (std::int32_t i = 0; i <= 155; ++i) {
        left += dx;
        top += dy;
        right -= dx;
        bottom -= dy;
        const IntRect box{Trunc(left), Trunc(top), Trunc(right), Trunc(bottom)};
        gfx::FillRegion(t, gfx::TRegion::Ellipse(box), GradientStep(c1, c2, i, 155));
    }
}

// Style 4: 256 rectangles from the picture's edge inwards; the last ones turn inside out and fill
// nothing.
void Rectangles(TBitmap32& t, TColor c1, TColor c2) {
    const double w = t.Width();
    const double h = t.Height();
    double left = 0;
    double top = 0;
    double right = w;
    double bottom = h;
    for (std::int32_t i = 0; i <= 255; ++i) {
        t.FillRect({Trunc(left), Trunc(top), Trunc(right), Trunc(bottom)}, GradientStep(c1, c2, i, 255));
        left += w / 2 / 255;
        top += h / 2 / 255;
        right -= w / 2 / 255;
        bottom -= h / 2 / 255;
    }
}

// Styles 5 and 6: line i and its mirror image carry step i of half, c1 at the edges and c2 in the
// middle; for an even extent the two middle lines are both written last by step half.
void Mirrored(TBitmap32& t, TColor c1, TColor c2, bool rows) {
    const std::int32_t extent = rows ? t.Height() : t.Width();
    const std::int32_t half = extent / 2;
    for (std::int32_t i = 0; i <= half; ++i) {
        const gfx::Color32 color = GradientStep(c1, c2, i, half);
        for (const std::int32_t at : {i, extent - 1 - i}) {
            t.FillRect(rows ? IntRect{0, at, t.Width(), at + 1} : IntRect{at, 0, at + 1, t.Height()}, color);
        }
    }
}

void FillPolygon(TBitmap32& t, std::initializer_list<IntPoint> points, gfx::Color32 color) {
    gfx::FillRegion(t, gfx::TRegion::Polygon(std::span<const IntPoint>(points.begin(), points.size())), color);
}

// Style 7: four triangles per step from the centre to the four edges, turning round the picture.
void Pinwheel(TBitmap32& t, TColor c1, TColor c2) {
    const std::int32_t w = t.Width();
    const std::int32_t h = t.Height();
    const IntPoint centre{w / 2, h / 2};
    for (std::int32_t i = 0; i <= 255; ++i) {
        const std::int32_t x0 = MulDiv(i, w, 255);
        const std::int32_t x1 = MulDiv(i + 1, w, 255);
        const std::int32_t y0 = MulDiv(i, h, 255);
        const std::int32_t y1 = MulDiv(i + 1, h, 255);
        const gfx::Color32 color = GradientStep(c1, c2, i, 255);
        FillPolygon(t, {centre, {0, y0}, {0, y1}}, color);
        FillPolygon(t, {centre, {w, h - y0}, {w, h - y1}}, color);
        FillPolygon(t, {centre, {x0, 0}, {x1, 0}}, color);
        FillPolygon(t, {centre, {w - x0, h}, {w - x1, h}}, color);
    }
}

// Style 8: quadrilaterals whose top-left and bottom-right corners close in on the diagonal from
// the bottom-left to the top-right corner.
void Diagonal(TBitmap32& t, TColor c1, TColor c2) {
    const std::int32_t w = t.Width();
    const std::int32_t h = t.Height();
    for (std::int32_t i = 0; i <= 255; ++i) {
        const std::int32_t x = MulDiv(i, w / 2, 255);
        const std::int32_t y = MulDiv(i, h / 2, 255);
        FillPolygon(t, {{x, y}, {0, h}, {w - x, h - y}, {w, 0}}, GradientStep(c1, c2, i, 255));
    }
}

}  // namespace

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t p = std::int64_t{a} * b;
    const std::int64_t num = std::llabs(p);
    const std::int64_t den = std::llabs(c);
    const std::int64_t q = (2 * num + den) / (2 * den);
    const std::int64_t result = (p < 0) != (c < 0) ? -q : q;
    if (result > std::numeric_limits<std::int32_t>::max() || result < std::numeric_limits<std::int32_t>::min()) {
        return -1;
    }
    return static_cast<std::int32_t>(result);
}

gfx::Color32 GradientStep(TColor c1, TColor c2, std::int32_t i, std::int32_t n) {
    const auto from = Channels(c1);
    if (n == 0) {
        return gfx::MakeColor32(static_cast<std::uint8_t>(from[0]), static_cast<std::uint8_t>(from[1]),
                                static_cast<std::uint8_t>(from[2]));
    }
    const auto to = Channels(c2);
    std::array<std::uint8_t, 3> out{};
    for (std::size_t k = 0; k < 3; ++k) {
        out[k] = static_cast<std::uint8_t>(from[k] + MulDiv(i, to[k] - from[k], n));
    }
    return gfx::MakeColor32(out[0], out[1], out[2]);
}

void PaintGradient(TBitmap32& target, std::int32_t style, TColor c1, TColor c2) {
    // Every figure covers the picture, but a start colour under it leaves no pixel to chance.
    target.Clear(GradientStep(c1, c2, 0, 0));
    switch (style) {
        case 1: Bands(target, c1, c2, true); break;
        case 3: Ellipses(target, c1, c2); break;
        case 4: Rectangles(target, c1, c2); break;
        case 5: Mirrored(target, c1, c2, true); break;
        case 6: Mirrored(target, c1, c2, false); break;
        case 7: Pinwheel(target, c1, c2); break;
        case 8: Diagonal(target, c1, c2); break;
        default: Bands(target, c1, c2, false); break;
    }
}

}  // namespace show
