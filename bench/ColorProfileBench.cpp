// The cost of a colour profile: a 24-megapixel JPEG with a Display P3 profile decoded at full size
// (no reduction for a drawn size: every pixel is converted), against the same JPEG without the
// profile, in the same run. Both are 4:2:0 like a phone's photographs, which decode faster than
// 4:4:4 and so make the conversion's share larger.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "bench/BenchPictures.h"
#include "gfx/decode/PictureFormats.h"
#include "tests/support/ColorProfiles.h"
#include "tests/support/PictureEncoders.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

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

void Load(const Bytes& jpeg) {
    auto picture = gfx::DecodePicture(gfx::TPictureFormat::Jpeg, jpeg);
    if (!picture) {
        std::abort();
    }
    benchmark::DoNotOptimize(picture->frames[0].bitmap.Bits());
}

void BM_DisplayP3Jpeg24Megapixels(benchmark::State& state) {
    const Bytes plain = Photo({});
    const Bytes p3 = Photo(testing_support::DisplayP3Profile());
    double withProfile = 0;
    double without = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { Load(p3); });
        withProfile += once;
        without += Seconds([&] { Load(plain); });
        state.SetIterationTime(once);
    }
    state.counters["ratio_to_no_profile"] = withProfile / without;
}
BENCHMARK(BM_DisplayP3Jpeg24Megapixels)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
