#include "tests/support/ColorProfiles.h"

#include <lcms2.h>

namespace testing_support {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr cmsCIExyY kD65{0.3127, 0.3290, 1.0};
constexpr cmsCIExyYTRIPLE kP3{{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
constexpr cmsCIExyYTRIPLE kAdobe{{0.640, 0.330, 1.0}, {0.210, 0.710, 1.0}, {0.150, 0.060, 1.0}};
constexpr cmsCIExyYTRIPLE kSrgb{{0.640, 0.330, 1.0}, {0.300, 0.600, 1.0}, {0.150, 0.060, 1.0}};

// The profile's bytes; the profile is closed.
Bytes Saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// An RGB profile of D65 white with one curve for all three channels, which it frees.
Bytes RgbProfile(const cmsCIExyYTRIPLE& primaries, cmsToneCurve* curve) {
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const Bytes bytes = Saved(cmsCreateRGBProfile(&kD65, &primaries, curves));
    cmsFreeToneCurve(curve);
    return bytes;
}

cmsToneCurve* SrgbCurve() {
    const cmsFloat64Number sRgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    return cmsBuildParametricToneCurve(nullptr, 4, sRgb);
}

}  // namespace

const Bytes& DisplayP3Profile() {
    static const Bytes p3 = RgbProfile(kP3, SrgbCurve());
    return p3;
}

const Bytes& AdobeRgbProfile() {
    static const Bytes adobe = RgbProfile(kAdobe, cmsBuildGamma(nullptr, 563.0 / 256));
    return adobe;
}

const Bytes& SrgbProfile() {
    static const Bytes srgb = RgbProfile(kSrgb, SrgbCurve());
    return srgb;
}

const Bytes& LibrarySrgbProfile() {
    static const Bytes srgb = Saved(cmsCreate_sRGBProfile());
    return srgb;
}

const Bytes& GreyProfile() {
    static const Bytes grey = [] {
        cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
        const Bytes bytes = Saved(cmsCreateGrayProfile(cmsD50_xyY(), curve));
        cmsFreeToneCurve(curve);
        return bytes;
    }();
    return grey;
}

gfx::TBitmap32 LittleCmsToSrgb(const Bytes& icc, gfx::TBitmap32 bitmap) {
    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size()));
    cmsHPROFILE to = cmsCreate_sRGBProfile();
    cmsHTRANSFORM t = cmsCreateTransform(from, TYPE_RGB_8, to, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const gfx::Color32 c = bitmap.Pixel(x, y);
            const std::uint8_t in[3] = {gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)};
            std::uint8_t out[3] = {};
            cmsDoTransform(t, in, out, 1);
            bitmap.SetPixel(x, y, gfx::MakeColor32(out[0], out[1], out[2], gfx::AlphaOf(c)));
        }
    }
    cmsDeleteTransform(t);
    cmsCloseProfile(to);
    cmsCloseProfile(from);
    return bitmap;
}

}  // namespace testing_support
