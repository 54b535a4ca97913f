#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/Color.h"

namespace gfx {

// The transfer curves of coded pictures (nclx colour information) told apart here. Every SDR
// curve of video (BT.709, BT.601, BT.2020) is taken as the sRGB curve, as picture viewers do.
enum class TTransfer : std::uint8_t { Srgb, Gamma22, Gamma28, Linear, Pq, Hlg };

// The transfer curve of an nclx transfer_characteristics code (ITU-T H.273).
TTransfer TransferOfNclx(int code);

// CIE 1931 xy chromaticities of the red, green and blue primaries and of the white point.
struct TPrimaries {
    float rx, ry, gx, gy, bx, by, wx, wy;
};
inline constexpr TPrimaries kSrgbPrimaries{0.640f, 0.330f, 0.300f, 0.600f, 0.150f, 0.060f, 0.3127f, 0.3290f};

// A sample of `bits` bits (0 .. 2^bits - 1) as 8 bits, rounded to the nearest.
inline std::uint8_t ScaledTo8Bits(std::uint32_t sample, int bits) {
    const std::uint32_t top = (1u << bits) - 1u;
    return static_cast<std::uint8_t>((sample * 255u + top / 2u) / top);
}

// Turns RGB samples coded in other primaries or with an HDR curve into 8-bit sRGB.
//
// Samples become linear light first, in units of SDR reference white: for PQ, nits over the
// 203 nits of BT.2408's reference white; for HLG, the BT.2100 reference display (1000 nits peak,
// system gamma 1.2) over the same 203 nits, where a 75 % signal is exactly reference white; SDR
// curves give 0 .. 1. A 3 x 3 matrix (through CIE XYZ, with a Bradford adaptation when the white
// points differ) then takes the light to sRGB primaries, and colours outside sRGB are cut to it.
// HDR light above reference white is brought into range by a knee on the largest of the three
// channels, so that hues stay: below kKnee nothing changes (shadows and midtones are those of
// the SDR rendering), and from kKnee to the picture's peak an extended Reinhard curve, which
// meets the straight part with the same slope, rolls everything into kKnee .. 1: highlights
// keep their gradation instead of clipping, and reference white lands near 0.87 of full
// scale, which keeps the picture bright without washing it out. Last, the sRGB curve.
class TToneMap {
public:
    // Where the knee starts, as a fraction of the sRGB full scale in linear light.
    static constexpr float kKnee = 0.75f;
    static constexpr float kReferenceWhiteNits = 203.0f;
    static constexpr float kDefaultPeakNits = 1000.0f;

    // Samples of `bits` bits (8 .. 16). `peakNits` is the brightest light of an HDR picture (its
    // content light level where it states one), which the knee maps to full scale.
    TToneMap(const TPrimaries& primaries, TTransfer transfer, int bits, float peakNits = kDefaultPeakNits);

    // Whether samples in these primaries and this curve are sRGB already, to be scaled only.
    static bool IsSrgb(const TPrimaries& primaries, TTransfer transfer);

    Color32 Map(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint8_t alpha) const;

    // The knee alone: relative linear light (1 = reference white) to 0 .. 1.
    float Knee(float light) const;

private:
    using Matrix = std::array<float, 9>;

    std::vector<float> linear_;  // sample -> linear light (scene light for HLG)
    Matrix toSrgb_{};
    std::array<float, 3> luma_{};  // the source primaries' share of luminance, for HLG's system gamma
    TTransfer transfer_;
    bool hdr_;
    float peak_;  // in units of reference white
};

}  // namespace gfx
