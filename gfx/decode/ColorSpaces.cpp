#include "gfx/decode/ColorSpaces.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

std::uint8_t Product(std::uint32_t a, std::uint32_t b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

std::uint8_t UnitByte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0) * 255.0));
}

// The CIE L*a*b* companding, undone.
double LabInverse(double t) {
    constexpr double kEdge = 6.0 / 29.0;
    return t > kEdge ? t * t * t : 3.0 * kEdge * kEdge * (t - 4.0 / 29.0);
}

double SrgbCurve(double linear) {
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

}  // namespace

Color32 CmykColor(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k) {
    const std::uint32_t light = 255u - k;
    return MakeColor32(Product(255u - c, light), Product(255u - m, light), Product(255u - y, light));
}

Color32 UnitRgbColor(double r, double g, double b) { return MakeColor32(UnitByte(r), UnitByte(g), UnitByte(b)); }

Color32 LabColor(double l, double a, double b) {
    // The D50 white, and XYZ relative to D50 to linear sRGB with the Bradford adaptation built in.
    constexpr double kWhiteX = 0.9642;
    constexpr double kWhiteZ = 0.8251;
    const double fy = (l + 16.0) / 116.0;
    const double x = kWhiteX * LabInverse(fy + a / 500.0);
    const double y = LabInverse(fy);
    const double z = kWhiteZ * LabInverse(fy - b / 200.0);
    const double red = 3.1338561 * x - 1.6168667 * y - 0.4906146 * z;
    const double green = -0.9787684 * x + 1.9161415 * y + 0.0334540 * z;
    const double blue = 0.0719453 * x - 0.2289914 * y + 1.4052427 * z;
    const auto curve = [](double v) { return SrgbCurve(std::clamp(v, 0.0, 1.0)); };
    return UnitRgbColor(curve(red), curve(green), curve(blue));
}

}  // namespace gfx
