// The cost of a colour profile: a 24-megapixel JPEG with a Display P3 profile against the same JPEG
// without the profile, in the same run. Both are 4:2:0 like a phone's photographs, which decode
// faster than 4:4:4 and so make the conversion's share larger. Measured two ways: loaded for a
// 1920 x 1080 screen (decoded at the reduction that covers its place, fitted and drawn onto the
// frame as the layout draws it), and decoded whole at its own size, where every pixel is converted.
// What is made of the profile at the first load serves the next ones, as for a folder of one phone's
// pictures. The conversion alone is also set against a copy of the same bytes.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "bench/BenchPictures.h"
#include "gfx/decode/ColorProfile.h"
#include "gfx/decode/PictureFormats.h"
#include "tests/support/ColorProfiles.h"
#include "tests/support/PictureEncoders.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
// The screen, and the picture's place on it: fitted, full height, centred.
constexpr gfx::IntSize kScreen{1920, 1080};
constexpr gfx::IntSize kPlace{kWidth * kScreen.height / kHeight, kScreen.height};

using testing_support::Bytes;

// A photograph-like picture at quality 90, 4:2:0, with the profile when one is given.
Bytes Photo(const Bytes& icc) {
    return testing_support::EncodeJpeg(bench::PhotoLike(kWidth, kHeight), 90, false, false, icc, true);
}

double Seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

gfx::TPicture Decode(const Bytes& jpeg, const gfx::TDrawnSize& drawnSize = {}) {
    auto picture = gfx::DecodePicture(gfx::TPictureFormat::Jpeg, jpeg, nullptr, drawnSize);
    if (!picture) {
        std::abort();
    }
    return std::move(*picture);
}

// From the file to the composed frame: decoded for its place and drawn into it.
void LoadOntoScreen(const Bytes& jpeg) {
    gfx::TPicture picture = Decode(jpeg, [](gfx::IntSize) { return kPlace; });
    gfx::TBitmap32& still = picture.frames[0].bitmap;
    gfx::TBitmap32 frame(kScreen.width, kScreen.height);
    still.MakeOpaque();
    still.SetDrawMode(gfx::DrawMode::Opaque);
    still.DrawTo(frame, gfx::IntRect::FromSize((kScreen.width - kPlace.width) / 2, 0, kPlace.width, kPlace.height));
    benchmark::DoNotOptimize(frame.Bits());
}

void DecodeWhole(const Bytes& jpeg) { benchmark::DoNotOptimize(Decode(jpeg).frames[0].bitmap.Bits()); }

// Each iteration times the profiled load, and the plain one beside it for the ratio.
void WithAndWithout(benchmark::State& state, const std::function<void(const Bytes&)>& load) {
    const Bytes plain = Photo({});
    const Bytes p3 = Photo(testing_support::DisplayP3Profile());
    double withProfile = 0;
    double without = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { load(p3); });
        withProfile += once;
        without += Seconds([&] { load(plain); });
        state.SetIterationTime(once);
    }
    state.counters["ratio_to_no_profile"] = withProfile / without;
    state.counters["no_profile_ms"] = without * 1000 / static_cast<double>(state.iterations());
}

void BM_DisplayP3Jpeg24MegapixelsOnto1080p(benchmark::State& state) { WithAndWithout(state, LoadOntoScreen); }
BENCHMARK(BM_DisplayP3Jpeg24MegapixelsOnto1080p)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

void BM_DisplayP3Jpeg24MegapixelsWhole(benchmark::State& state) { WithAndWithout(state, DecodeWhole); }
BENCHMARK(BM_DisplayP3Jpeg24MegapixelsWhole)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

// The conversion alone: the pixels of the same picture converted in place (on two threads, as a
// decoded picture is), against a copy of the same bytes.
void BM_DisplayP3Rows24Megapixels(benchmark::State& state) {
    const gfx::TSrgbConversion toSrgb(testing_support::DisplayP3Profile());
    gfx::TBitmap32 picture = bench::PhotoLike(kWidth, kHeight);
    gfx::TBitmap32 copy(kWidth, kHeight);
    double converting = 0;
    double copying = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { toSrgb.Convert(picture); });
        converting += once;
        copying += Seconds([&] { copy.CopyRect({0, 0}, picture, picture.BoundsRect()); });
        state.SetIterationTime(once);
    }
    state.counters["ratio_to_copy"] = converting / copying;
}
BENCHMARK(BM_DisplayP3Rows24Megapixels)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
