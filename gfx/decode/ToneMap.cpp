#include "gfx/decode/ToneMap.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

using Matrix = std::array<float, 9>;
using Vector = std::array<float, 3>;

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m[r * 3 + c] = a[r * 3] * b[c] + a[r * 3 + 1] * b[3 + c] + a[r * 3 + 2] * b[6 + c];
        }
    }
    return m;
}

Vector Apply(const Matrix& m, const Vector& v) {
    return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
            m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

Matrix Inverse(const Matrix& m) {
    const float a = m[4] * m[8] - m[5] * m[7];
    const float b = m[5] * m[6] - m[3] * m[8];
    const float c = m[3] * m[7] - m[4] * m[6];
    const float det = m[0] * a + m[1] * b + m[2] * c;
    const float k = det != 0.0f ? 1.0f / det : 0.0f;
    return {a * k,
            (m[2] * m[7] - m[1] * m[8]) * k,
            (m[1] * m[5] - m[2] * m[4]) * k,
            b * k,
            (m[0] * m[8] - m[2] * m[6]) * k,
            (m[2] * m[3] - m[0] * m[5]) * k,
            c * k,
            (m[1] * m[6] - m[0] * m[7]) * k,
            (m[0] * m[4] - m[1] * m[3]) * k};
}

Vector XyzOf(float x, float y) { return {x / y, 1.0f, (1.0f - x - y) / y}; }

// RGB in these primaries to CIE XYZ, white at Y = 1.
Matrix RgbToXyz(const TPrimaries& p) {
    const Vector r = XyzOf(p.rx, p.ry);
    const Vector g = XyzOf(p.gx, p.gy);
    const Vector b = XyzOf(p.bx, p.by);
    const Matrix columns{r[0], g[0], b[0], r[1], g[1], b[1], r[2], g[2], b[2]};
    const Vector s = Apply(Inverse(columns), XyzOf(p.wx, p.wy));
    Matrix m = columns;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            m[row * 3 + col] *= s[col];
        }
    }
    return m;
}

// Bradford chromatic adaptation of XYZ from one white point to another.
Matrix Adaptation(float fromX, float fromY, float toX, float toY) {
    constexpr Matrix kBradford{0.8951f, 0.2664f, -0.1614f, -0.7502f, 1.7135f, 0.0367f, 0.0389f, -0.0685f, 1.0296f};
    const Vector from = Apply(kBradford, XyzOf(fromX, fromY));
    const Vector to = Apply(kBradford, XyzOf(toX, toY));
    const Matrix scale{to[0] / from[0], 0, 0, 0, to[1] / from[1], 0, 0, 0, to[2] / from[2]};
    return Multiply(Inverse(kBradford), Multiply(scale, kBradford));
}

bool Near(float a, float b) { return std::fabs(a - b) < 0.0015f; }

// ST 2084: a PQ signal in 0 .. 1 to nits.
float PqToNits(float signal) {
    constexpr float m1 = 2610.0f / 16384.0f;
    constexpr float m2 = 2523.0f / 4096.0f * 128.0f;
    constexpr float c1 = 3424.0f / 4096.0f;
    constexpr float c2 = 2413.0f / 4096.0f * 32.0f;
    constexpr float c3 = 2392.0f / 4096.0f * 32.0f;
    const float p = std::pow(signal, 1.0f / m2);
    return 10000.0f * std::pow(std::max(p - c1, 0.0f) / (c2 - c3 * p), 1.0f / m1);
}

// BT.2100 HLG: a signal in 0 .. 1 to scene light in 0 .. 1 (the inverse OETF).
float HlgToScene(float signal) {
    constexpr float a = 0.17883277f;
    constexpr float b = 0.28466892f;
    constexpr float c = 0.55991073f;
    return signal <= 0.5f ? signal * signal / 3.0f : (std::exp((signal - c) / a) + b) / 12.0f;
}

float SrgbToLinear(float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); }

// Linear light in 0 .. 1, in steps of 1/65535, to 8-bit sRGB.
constexpr int kEncodeSteps = 65535;

const std::vector<std::uint8_t>& SrgbEncoding() {
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> t(kEncodeSteps + 1);
        for (int i = 0; i <= kEncodeSteps; ++i) {
            const float v = static_cast<float>(i) / kEncodeSteps;
            const float s = v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
            t[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::lround(std::clamp(s, 0.0f, 1.0f) * 255.0f));
        }
        return t;
    }();
    return table;
}

std::uint8_t Encode(const std::vector<std::uint8_t>& table, float v) {
    return table[static_cast<std::size_t>(std::clamp(v, 0.0f, 1.0f) * kEncodeSteps + 0.5f)];
}

// HLG's reference display and its system gamma (BT.2100 for a 1000-nit peak).
constexpr float kHlgPeakNits = 1000.0f;
constexpr float kHlgSystemGamma = 1.2f;

}  // namespace

TTransfer TransferOfNclx(int code) {
    switch (code) {
        case 4: return TTransfer::Gamma22;
        case 5: return TTransfer::Gamma28;
        case 8: return TTransfer::Linear;
        case 16: return TTransfer::Pq;
        case 18: return TTransfer::Hlg;
        default: return TTransfer::Srgb;
    }
}

bool TToneMap::IsSrgb(const TPrimaries& p, TTransfer transfer) {
    const TPrimaries& s = kSrgbPrimaries;
    return transfer == TTransfer::Srgb && Near(p.rx, s.rx) && Near(p.ry, s.ry) && Near(p.gx, s.gx) &&
           Near(p.gy, s.gy) && Near(p.bx, s.bx) && Near(p.by, s.by) && Near(p.wx, s.wx) && Near(p.wy, s.wy);
}

TToneMap::TToneMap(const TPrimaries& primaries, TTransfer transfer, int bits, float peakNits)
    : transfer_(transfer),
      hdr_(transfer == TTransfer::Pq || transfer == TTransfer::Hlg),
      peak_((transfer == TTransfer::Hlg ? kHlgPeakNits : std::max(peakNits, kReferenceWhiteNits)) /
            kReferenceWhiteNits) {
    bits = std::clamp(bits, 1, 16);
    const std::size_t count = std::size_t{1} << bits;
    const float top = static_cast<float>(count - 1);
    linear_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const float v = static_cast<float>(i) / top;
        float light = 0.0f;
        switch (transfer) {
            case TTransfer::Srgb: light = SrgbToLinear(v); break;
            case TTransfer::Gamma22: light = std::pow(v, 2.2f); break;
            case TTransfer::Gamma28: light = std::pow(v, 2.8f); break;
            case TTransfer::Linear: light = v; break;
            case TTransfer::Pq: light = PqToNits(v) / kReferenceWhiteNits; break;
            case TTransfer::Hlg: light = HlgToScene(v); break;
        }
        linear_[i] = light;
    }
    const Matrix toXyz = RgbToXyz(primaries);
    luma_ = {toXyz[3], toXyz[4], toXyz[5]};
    Matrix adapt{1, 0, 0, 0, 1, 0, 0, 0, 1};
    if (!Near(primaries.wx, kSrgbPrimaries.wx) || !Near(primaries.wy, kSrgbPrimaries.wy)) {
        adapt = Adaptation(primaries.wx, primaries.wy, kSrgbPrimaries.wx, kSrgbPrimaries.wy);
    }
    toSrgb_ = Multiply(Inverse(RgbToXyz(kSrgbPrimaries)), Multiply(adapt, toXyz));
}

float TToneMap::Knee(float light) const {
    if (light <= kKnee || peak_ <= kKnee) {
        return std::min(light, 1.0f);
    }
    // Extended Reinhard over what lies above the knee: slope 1 where it starts, 1 at the peak.
    const float span = 1.0f - kKnee;
    const float u = (light - kKnee) / span;
    const float m = (peak_ - kKnee) / span;
    const float rolled = u * (1.0f + u / (m * m)) / (1.0f + u);
    return kKnee + span * std::min(rolled, 1.0f);
}

Color32 TToneMap::Map(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint8_t alpha) const {
    const std::size_t last = linear_.size() - 1;
    Vector light{linear_[std::min<std::size_t>(r, last)], linear_[std::min<std::size_t>(g, last)],
                 linear_[std::min<std::size_t>(b, last)]};
    if (transfer_ == TTransfer::Hlg) {
        // The OOTF: scene light to display light, brighter areas gaining contrast.
        const float ys = luma_[0] * light[0] + luma_[1] * light[1] + luma_[2] * light[2];
        const float gain = peak_ * std::pow(std::max(ys, 1e-6f), kHlgSystemGamma - 1.0f);
        light = {light[0] * gain, light[1] * gain, light[2] * gain};
    }
    light = Apply(toSrgb_, light);
    for (float& c : light) {
        c = std::max(c, 0.0f);
    }
    if (hdr_) {
        const float top = std::max({light[0], light[1], light[2]});
        if (top > kKnee) {
            const float scale = Knee(top) / top;
            light = {light[0] * scale, light[1] * scale, light[2] * scale};
        }
    }
    const auto& table = SrgbEncoding();
    return MakeColor32(Encode(table, light[0]), Encode(table, light[1]), Encode(table, light[2]), alpha);
}

}  // namespace gfx
