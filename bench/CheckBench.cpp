// The builder's check of a folder of photographs: 40 JPEGs of 4000 x 3000, each decoded whole as
// the screen saver would, on one worker a core against a single worker in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "bench/BenchPictures.h"
#include "tests/support/PictureEncoders.h"
#include "tools/sspack/CheckPool.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/FolderManifest.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPhotos = 40;
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A photograph's grain over the smooth picture, different for each seed, so that the files come to
// the 2 to 4 MB that a camera's 12 megapixels take and no two are alike.
gfx::TBitmap32 Grainy(gfx::TBitmap32 picture, std::uint32_t seed) {
    for (int y = 0; y < picture.Height(); ++y) {
        gfx::Color32* row = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 27) - 16;
            const auto add = [grain](std::uint8_t c) {
                return static_cast<std::uint8_t>(std::clamp(c + grain, 0, 255));
            };
            row[x] = gfx::MakeColor32(add(gfx::RedOf(row[x])), add(gfx::GreenOf(row[x])), add(gfx::BlueOf(row[x])));
        }
    }
    return picture;
}

// The photographs, made once and kept between runs, at the qualities cameras use.
const std::string& PhotoFolder() {
    static const std::string folder = [] {
        const fs::path f = fs::temp_directory_path() / "saver-bench-check";
        fs::create_directories(f);
        gfx::TBitmap32 smooth;
        for (int i = 0; i < kPhotos; ++i) {
            const fs::path file = f / ("photo" + std::to_string(100 + i) + ".jpg");
            if (fs::exists(file)) {
                continue;
            }
            if (smooth.Width() == 0) {
                smooth = bench::PhotoLike(kWidth, kHeight);
            }
            const auto photo = Grainy(smooth, static_cast<std::uint32_t>(i + 1));
            bench::WriteAll(file.string(), testing_support::EncodeJpeg(photo, 80 + i % 16, false, false, {}, true));
        }
        return f.string();
    }();
    return folder;
}

double Seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Each iteration checks the folder with every worker, and with one beside it for the ratio.
void BM_Check40Photos(benchmark::State& state) {
    const sspack::Manifest manifest = sspack::FolderManifest({PhotoFolder(), {}, "Bench"}).manifest;
    const unsigned workers = sspack::CheckWorkers();
    const auto check = [&manifest](unsigned n) {
        if (!sspack::ManifestProblems(manifest, n).empty()) {
            std::abort();  // every photograph must pass, or the figure is of refusals
        }
    };
    double all = 0;
    double one = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { check(workers); });
        all += once;
        one += Seconds([&] { check(1); });
        state.SetIterationTime(once);
    }
    state.counters["workers"] = workers;
    state.counters["ratio_to_one_worker"] = all / one;
    state.counters["one_worker_ms"] = one * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Check40Photos)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
