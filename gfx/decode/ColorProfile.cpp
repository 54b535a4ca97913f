#include "gfx/decode/ColorProfile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include <lcms2.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

namespace {

static_assert(std::endian::native == std::endian::little, "BGRA bytes must make 0xAARRGGBB pixels");

// Linear light in the fast path is fixed point with 14 fraction bits, as in the library's own
// 8-bit matrix-and-curves transform: enough that every 8-bit sRGB level has its own step.
constexpr int kOne = 1 << 14;
// Linear levels beyond this are clipped before they are added up (the sums clip at 0 and 1 anyway),
// so that three of them fit 32 bits.
constexpr double kLevelLimit = 256;
// How far the fast path may stray from the library's exact transform, in 8-bit levels: it rounds
// linear light to fixed point.
constexpr int kFastPathTolerance = 1;
// The levels of each channel at which the fast path is checked against the library's transform.
constexpr int kCheckStep = 51;
// A bitmap of this many pixels or more is converted on two threads: below, a thread costs more than
// it saves.
constexpr std::int64_t kThreadedPixels = std::int64_t{1} << 20;

// sRGB as Little CMS builds it: D65 white and the primaries of IEC 61966-2-1.
constexpr cmsCIExyY kD65{0.3127, 0.3290, 1.0};
constexpr cmsCIExyYTRIPLE kSrgbPrimaries{{0.6400, 0.3300, 1.0}, {0.3000, 0.6000, 1.0}, {0.1500, 0.0600, 1.0}};

// A profile whose colorants and curves are this close to sRGB's changes no 8-bit value.
constexpr double kSameColorant = 0.001;
constexpr double kSameCurve = 0.5 / 255;

constexpr std::array<cmsTagSignature, 3> kColorantTags{cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                                       cmsSigBlueColorantTag};
constexpr std::array<cmsTagSignature, 3> kCurveTags{cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

// The library's errors go to the string its context carries: the first one is kept, for the
// refusal; nothing reaches the console.
void KeepError(cmsContext context, cmsUInt32Number, const char* text) {
    auto* error = static_cast<std::string*>(cmsGetContextUserData(context));
    if (error == nullptr || !error->empty() || text == nullptr) {
        return;
    }
    try {
        *error = text;
    } catch (const std::bad_alloc&) {
    }
}

struct ContextCloser {
    void operator()(cmsContext context) const { cmsDeleteContext(context); }
};
struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformCloser {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using ContextHandle = std::unique_ptr<std::remove_pointer_t<cmsContext>, ContextCloser>;
using ProfileHandle = std::unique_ptr<void, ProfileCloser>;
using TransformHandle = std::unique_ptr<void, TransformCloser>;

// A context of its own for each conversion, so that pictures decoded on several threads at once
// share nothing in the library; its errors go to `error`, which must outlive it.
ContextHandle MakeContext(std::string& error) {
    ContextHandle context(cmsCreateContext(nullptr, &error));
    if (context) {
        cmsSetLogErrorHandlerTHR(context.get(), KeepError);
    }
    return context;
}

TransformHandle MakeTransform(cmsContext context, cmsHPROFILE from, cmsUInt32Number fromFormat, cmsHPROFILE to,
                        cmsUInt32Number toFormat, cmsUInt32Number flags) {
    return TransformHandle(cmsCreateTransformTHR(context, from, fromFormat, to, toFormat, INTENT_PERCEPTUAL, flags));
}

// sRGB's primaries with straight lines for curves: the linear light the fast path adds up.
ProfileHandle LinearSrgb(cmsContext context) {
    cmsToneCurve* line = cmsBuildGamma(context, 1.0);
    if (line == nullptr) {
        return nullptr;
    }
    cmsToneCurve* curves[3] = {line, line, line};
    ProfileHandle profile(cmsCreateRGBProfileTHR(context, &kD65, &kSrgbPrimaries, curves));
    cmsFreeToneCurve(line);
    return profile;
}

std::string ColourSpaceRefusal(cmsColorSpaceSignature space) {
    switch (space) {
        case cmsSigGrayData: return "a grey colour profile on an RGB picture";
        case cmsSigCmykData: return "a CMYK colour profile on an RGB picture";
        default: return "a colour profile for another colour space than RGB";
    }
}

bool SameColorant(const cmsCIEXYZ* a, const cmsCIEXYZ* b) {
    return a != nullptr && b != nullptr && std::abs(a->X - b->X) < kSameColorant &&
           std::abs(a->Y - b->Y) < kSameColorant && std::abs(a->Z - b->Z) < kSameColorant;
}

bool SameCurve(const cmsToneCurve* a, const cmsToneCurve* b) {
    if (a == nullptr || b == nullptr) {
        return false;
    }
    for (int level = 0; level < 256; ++level) {
        const auto x = static_cast<cmsFloat32Number>(level / 255.0);
        if (!(std::abs(cmsEvalToneCurveFloat(a, x) - cmsEvalToneCurveFloat(b, x)) < kSameCurve)) {
            return false;
        }
    }
    return true;
}

// Whether the profile is sRGB in all but name: the same colorants and curves, and no tables of
// its own that the perceptual intent would take instead. Costs a few tag reads, not a transform.
bool IsSrgb(cmsHPROFILE profile, cmsHPROFILE srgb) {
    if (!cmsIsMatrixShaper(profile) || cmsIsCLUT(profile, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT)) {
        return false;
    }
    for (std::size_t i = 0; i < kColorantTags.size(); ++i) {
        if (!SameColorant(static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, kColorantTags[i])),
                          static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, kColorantTags[i]))) ||
            !SameCurve(static_cast<const cmsToneCurve*>(cmsReadTag(profile, kCurveTags[i])),
                       static_cast<const cmsToneCurve*>(cmsReadTag(srgb, kCurveTags[i])))) {
            return false;
        }
    }
    return true;
}

std::int32_t FixedLevel(double linear) {
    if (std::isnan(linear)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::lround(std::clamp(linear, -kLevelLimit, kLevelLimit) * kOne));
}

std::uint8_t Channel(Color32 c, int shift) { return static_cast<std::uint8_t>(c >> shift); }

using TEncoding = std::array<std::uint8_t, kOne + 1>;

// sRGB's curve turned round, as the library's own 8-bit transforms use it, in a context of its own.
std::unique_ptr<const TEncoding> MakeSrgbEncoding() {
    std::string error;
    const ContextHandle context = MakeContext(error);
    const ProfileHandle srgb(context ? cmsCreate_sRGBProfileTHR(context.get()) : nullptr);
    const auto* curve = srgb ? static_cast<const cmsToneCurve*>(cmsReadTag(srgb.get(), cmsSigRedTRCTag)) : nullptr;
    const std::unique_ptr<cmsToneCurve, decltype(&cmsFreeToneCurve)> encoding(
        curve != nullptr ? cmsReverseToneCurve(curve) : nullptr, &cmsFreeToneCurve);
    if (!encoding) {
        throw std::bad_alloc();  // the library fails here only for want of memory
    }
    auto table = std::make_unique<TEncoding>();
    for (int level = 0; level <= kOne; ++level) {
        const double encoded = cmsEvalToneCurveFloat(encoding.get(), static_cast<cmsFloat32Number>(level) / kOne);
        (*table)[static_cast<std::size_t>(level)] =
            static_cast<std::uint8_t>(std::lround(std::clamp(encoded, 0.0, 1.0) * 255));
    }
    return table;
}

// The 8-bit sRGB value of each fixed-point linear level from 0 to 1. The same for every profile, and
// it costs as many powers as it has levels, so it is made once; a failure throws and is tried again
// at the next picture.
const TEncoding& SrgbEncoding() {
    static const std::unique_ptr<const TEncoding> table = MakeSrgbEncoding();
    return *table;
}

// What was made of the last few profiles met, by their bytes: the pictures of one phone or camera
// carry the same profile, and preparing for it costs more than converting a screenful of pixels (the
// library tabulates every curve it reads or turns round). Safe from several threads at once.
template <typename Made>
class TRecentProfiles {
public:
    // What was kept for these bytes; nothing when they were not met lately.
    std::optional<std::shared_ptr<const Made>> Find(std::span<const std::uint8_t> icc) {
        const std::lock_guard lock(mutex_);
        for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
            if (std::equal(icc.begin(), icc.end(), entry->icc.begin(), entry->icc.end())) {
                std::rotate(entries_.begin(), entry, entry + 1);
                return entries_.front().made;
            }
        }
        return std::nullopt;
    }

    // Keeps what was made of these bytes; without memory for them, they are prepared again next time.
    void Keep(std::span<const std::uint8_t> icc, std::shared_ptr<const Made> made) {
        try {
            Entry entry{{icc.begin(), icc.end()}, std::move(made)};
            const std::lock_guard lock(mutex_);
            if (entries_.size() == kRecentProfiles) {
                entries_.pop_back();
            }
            entries_.insert(entries_.begin(), std::move(entry));
        } catch (const std::bad_alloc&) {
        }
    }

private:
    static constexpr std::size_t kRecentProfiles = 4;

    struct Entry {
        std::vector<std::uint8_t> icc;
        std::shared_ptr<const Made> made;
    };

    std::mutex mutex_;
    std::vector<Entry> entries_;  // the last met first
};

}  // namespace

// The fast path for profiles of three curves and a matrix, the library's own reading of them
// taken apart: a pixel's linear sRGB is the sum of what each of its channels gives alone, and sRGB's
// curve then encodes each sum. The library fills both tables; the check against its own transform
// decides whether a profile may take this path.
struct TSrgbConversion::Tables {
    // For each channel and level: its linear red, green and blue (fixed point), padded to four.
    alignas(16) std::int32_t shares[3][256][4];
    // The 8-bit sRGB value of each fixed-point linear level from 0 to 1 (SrgbEncoding).
    const std::uint8_t* encode = nullptr;

    bool Fill(cmsContext context, cmsHPROFILE profile);
    // Whether these tables give what the library's own transform gives, to a level.
    bool Agree(cmsHTRANSFORM transform) const;
    Color32 Convert(Color32 c) const;
    void ConvertRow(Color32* row, std::int32_t width) const;
};

// The library's own transform, for every profile the fast path cannot take, with the context its
// errors go to.
struct TSrgbConversion::Library {
    std::string error;
    ContextHandle context;
    TransformHandle transform;
};

bool TSrgbConversion::Tables::Fill(cmsContext context, cmsHPROFILE profile) {
    const ProfileHandle linear = LinearSrgb(context);
    // A few hundred pixels: the unoptimised pipeline is exact and costs nothing here.
    const TransformHandle toLinear =
        linear ? MakeTransform(context, profile, TYPE_RGB_DBL, linear.get(), TYPE_RGB_DBL, cmsFLAGS_NOOPTIMIZE)
               : nullptr;
    if (!toLinear) {
        return false;
    }
    encode = SrgbEncoding().data();
    // Each channel alone at every level, and black; the others' black is taken out of the green
    // and blue shares so that it counts once.
    std::vector<double> levels(3 * 256 * 3 + 3, 0.0);
    for (int channel = 0; channel < 3; ++channel) {
        for (int level = 0; level < 256; ++level) {
            levels[(channel * 256 + level) * 3 + channel] = level / 255.0;
        }
    }
    std::vector<double> lights(levels.size());
    cmsDoTransform(toLinear.get(), levels.data(), lights.data(), static_cast<cmsUInt32Number>(levels.size() / 3));
    const double* black = &lights[3 * 256 * 3];
    for (int channel = 0; channel < 3; ++channel) {
        for (int level = 0; level < 256; ++level) {
            const double* light = &lights[static_cast<std::size_t>(channel * 256 + level) * 3];
            for (int out = 0; out < 3; ++out) {
                shares[channel][level][out] = FixedLevel(light[out] - (channel == 0 ? 0.0 : black[out]));
            }
            shares[channel][level][3] = 0;
        }
    }
    return true;
}

bool TSrgbConversion::Tables::Agree(cmsHTRANSFORM transform) const {
    std::vector<Color32> grid;
    for (int r = 0; r < 256; r += kCheckStep) {
        for (int g = 0; g < 256; g += kCheckStep) {
            for (int b = 0; b < 256; b += kCheckStep) {
                grid.push_back(MakeColor32(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                           static_cast<std::uint8_t>(b)));
            }
        }
    }
    std::vector<Color32> theirs(grid.size());
    cmsDoTransform(transform, grid.data(), theirs.data(), static_cast<cmsUInt32Number>(grid.size()));
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const Color32 ours = Convert(grid[i]);
        for (const int shift : {0, 8, 16}) {
            if (std::abs(Channel(ours, shift) - Channel(theirs[i], shift)) > kFastPathTolerance) {
                return false;
            }
        }
    }
    return true;
}

Color32 TSrgbConversion::Tables::Convert(Color32 c) const {
    const std::int32_t* r = shares[0][Channel(c, 16)];
    const std::int32_t* g = shares[1][Channel(c, 8)];
    const std::int32_t* b = shares[2][Channel(c, 0)];
    auto level = [&](int i) { return encode[std::clamp(r[i] + g[i] + b[i], 0, kOne)]; };
    return (c & 0xFF000000u) | Color32{level(0)} << 16 | Color32{level(1)} << 8 | level(2);
}

void TSrgbConversion::Tables::ConvertRow(Color32* row, std::int32_t width) const {
    std::int32_t x = 0;
#if defined(__SSE2__)
    // Two pixels a step: their three shares added as vectors, then packed to 16 bits with
    // saturation and clipped to 0..1 together.
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(kOne);
    auto sum = [this](Color32 c) {
        const auto* r = reinterpret_cast<const __m128i*>(shares[0][Channel(c, 16)]);
        const auto* g = reinterpret_cast<const __m128i*>(shares[1][Channel(c, 8)]);
        const auto* b = reinterpret_cast<const __m128i*>(shares[2][Channel(c, 0)]);
        return _mm_add_epi32(_mm_add_epi32(_mm_loadu_si128(r), _mm_loadu_si128(g)), _mm_loadu_si128(b));
    };
    for (; x + 1 < width; x += 2) {
        const Color32 a = row[x];
        const Color32 b = row[x + 1];
        const __m128i levels = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(sum(a), sum(b)), zero), one);
        row[x] = (a & 0xFF000000u) | Color32{encode[_mm_extract_epi16(levels, 0)]} << 16 |
                 Color32{encode[_mm_extract_epi16(levels, 1)]} << 8 | encode[_mm_extract_epi16(levels, 2)];
        row[x + 1] = (b & 0xFF000000u) | Color32{encode[_mm_extract_epi16(levels, 4)]} << 16 |
                     Color32{encode[_mm_extract_epi16(levels, 5)]} << 8 | encode[_mm_extract_epi16(levels, 6)];
    }
#endif
    for (; x < width; ++x) {
        row[x] = Convert(row[x]);
    }
}

TSrgbConversion::TSrgbConversion(std::span<const std::uint8_t> icc) {
    if (icc.empty()) {
        return;
    }
    // The fast path's tables, or none for sRGB; profiles that take neither are not kept.
    static TRecentProfiles<Tables> recent;
    try {
        if (auto known = recent.Find(icc)) {
            tables_ = std::move(*known);
            return;
        }
        auto library = std::make_unique<Library>();
        library->context = MakeContext(library->error);
        if (!library->context) {
            refusal_ = "Little CMS cannot start";
            return;
        }
        auto tables = std::make_unique<Tables>();
        refusal_ = Prepare(*library, icc, tables);
        if (!refusal_.empty()) {
            return;
        }
        if (tables || !library->transform) {
            tables_ = std::move(tables);
            recent.Keep(icc, tables_);
        } else {
            library_ = std::move(library);
        }
    } catch (const std::bad_alloc&) {
        refusal_ = "out of memory for the colour profile";
    }
}

std::string TSrgbConversion::Prepare(Library& library, std::span<const std::uint8_t> icc,
                                     std::unique_ptr<Tables>& tables) {
    cmsContext context = library.context.get();
    const ProfileHandle profile(
        cmsOpenProfileFromMemTHR(context, icc.data(), static_cast<cmsUInt32Number>(icc.size())));
    if (!profile) {
        return "damaged colour profile: " + library.error;
    }
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile.get());
    if (space != cmsSigRgbData) {
        return ColourSpaceRefusal(space);
    }
    const ProfileHandle srgb(cmsCreate_sRGBProfileTHR(context));
    if (!srgb) {
        return "Little CMS cannot make sRGB: " + library.error;
    }
    if (IsSrgb(profile.get(), srgb.get())) {
        tables.reset();
        return {};
    }
    // The fast path, for profiles of three curves and a matrix, is checked against the library's
    // exact transform (which is quick to make); the others get the library's optimised one.
    if (cmsIsMatrixShaper(profile.get()) && !cmsIsCLUT(profile.get(), INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT)) {
        const TransformHandle exact = MakeTransform(context, profile.get(), TYPE_BGRA_8, srgb.get(), TYPE_BGRA_8,
                                                    cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE | cmsFLAGS_NOOPTIMIZE);
        if (exact && tables->Fill(context, profile.get()) && tables->Agree(exact.get())) {
            return {};
        }
    }
    tables.reset();
    library.error.clear();
    library.transform = MakeTransform(context, profile.get(), TYPE_BGRA_8, srgb.get(), TYPE_BGRA_8,
                                      cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE);
    if (!library.transform) {
        return "Little CMS refuses the colour profile: " + library.error;
    }
    return {};
}

TSrgbConversion::~TSrgbConversion() = default;

void TSrgbConversion::ConvertRow(Color32* row, std::int32_t width) const {
    if (tables_) {
        tables_->ConvertRow(row, width);
    } else if (library_ && width > 0) {
        cmsDoTransform(library_->transform.get(), row, row, static_cast<cmsUInt32Number>(width));
    }
}

void TSrgbConversion::ConvertRows(TBitmap32& bitmap, std::int32_t from, std::int32_t to) const {
    for (std::int32_t y = from; y < to; ++y) {
        ConvertRow(bitmap.Row(y), bitmap.Width());
    }
}

void TSrgbConversion::Convert(TBitmap32& bitmap) const {
    const std::int32_t height = bitmap.Height();
    if (static_cast<std::int64_t>(bitmap.Width()) * height >= kThreadedPixels) {
        // The lower half on a second thread meanwhile.
        const std::int32_t half = height / 2;
        try {
            std::thread lower([&] { ConvertRows(bitmap, half, height); });
            ConvertRows(bitmap, 0, half);
            lower.join();
            return;
        } catch (const std::system_error&) {
            // One thread, then.
        }
    }
    ConvertRows(bitmap, 0, height);
}

bool ConvertToSrgb(TBitmap32& bitmap, std::span<const std::uint8_t> icc, std::string* why) {
    const TSrgbConversion conversion(icc);
    conversion.Convert(bitmap);
    if (why != nullptr) {
        *why = conversion.Refusal();
    }
    return conversion.Refusal().empty();
}

}  // namespace gfx
