#include "transitions/SamplePictures.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace trans {

namespace {

constexpr double kPi = 3.14159265358979323846;

gfx::Color32 Mix(gfx::Color32 a, gfx::Color32 b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    const auto channel = [&](int shift) {
        const double v = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
        return static_cast<gfx::Color32>(std::lround(v)) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

// The colour of the picture at (u, v) in 0..1, from back to front.
using Scene = std::function<gfx::Color32(double u, double v, double aspect)>;

gfx::Color32 Landscape(double u, double v, double aspect) {
    gfx::Color32 c = Mix(0xFF7FB8E6, 0xFFFCE3B0, v / 0.7);
    const double du = (u - 0.7) * aspect;
    const double dv = v - 0.34;
    if (std::sqrt(du * du + dv * dv) < 0.14) {
        c = 0xFFFFF3C4;
    }
    if (v > 0.62 + 0.06 * std::sin(u * 2 * kPi * 1.3 + 0.8)) {
        c = Mix(0xFF6FA85B, 0xFF3D7A3A, (v - 0.55) / 0.45);
    }
    if (v > 0.78 + 0.05 * std::sin(u * 2 * kPi * 0.9 + 2.4)) {
        c = Mix(0xFF4E8F45, 0xFF2C5E2E, (v - 0.7) / 0.3);
    }
    return c;
}

gfx::Color32 Seascape(double u, double v, double aspect) {
    gfx::Color32 c = Mix(0xFF0F1D3D, 0xFF3A5A8C, v / 0.65);
    for (const auto& [su, sv] : {std::pair{0.12, 0.14}, {0.52, 0.1}, {0.8, 0.22}, {0.62, 0.33}, {0.2, 0.4}, {0.9, 0.08}}) {
        if (std::hypot((u - su) * aspect, v - sv) < 0.012) {
            c = 0xFFF4F1DE;
        }
    }
    const double du = (u - 0.3) * aspect;
    if (std::hypot(du, v - 0.28) < 0.12 && std::hypot(du - 0.05, v - 0.25) >= 0.11) {
        c = 0xFFF7F4E8;
    }
    if (v > 0.65) {
        c = Mix(0xFF23406E, 0xFF0C1A33, (v - 0.65) / 0.35);
        const double shimmer = std::abs(u - 0.3) * aspect;
        if (shimmer < 0.05 * (1 - (v - 0.65)) && std::sin(v * 120) > 0.2) {
            c = Mix(c, 0xFFE8E4D4, 0.6);
        }
    }
    return c;
}

}  // namespace

gfx::TBitmap32 SamplePicture(int which, gfx::IntSize size) {
    gfx::TBitmap32 picture(size.width, size.height);
    if (picture.Empty()) {
        return picture;
    }
    const Scene scene = which == 1 ? Scene(Landscape) : Scene(Seascape);
    const double aspect = static_cast<double>(size.width) / size.height;
    // Four samples a pixel keep the edges smooth.
    for (std::int32_t y = 0; y < size.height; ++y) {
        for (std::int32_t x = 0; x < size.width; ++x) {
            double r = 0;
            double g = 0;
            double b = 0;
            for (const auto& [ox, oy] : {std::pair{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}}) {
                const gfx::Color32 c = scene((x + ox) / size.width, (y + oy) / size.height, aspect);
                r += gfx::RedOf(c);
                g += gfx::GreenOf(c);
                b += gfx::BlueOf(c);
            }
            picture.SetPixel(x, y, gfx::MakeColor32(static_cast<std::uint8_t>(std::lround(r / 4)),
                                                    static_cast<std::uint8_t>(std::lround(g / 4)),
                                                    static_cast<std::uint8_t>(std::lround(b / 4))));
        }
    }
    return picture;
}

}  // namespace trans
