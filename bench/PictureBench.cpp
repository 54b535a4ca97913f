// The phone formats' decoding in both builds, each against its own library decoding the same file
// in the same run: a 12-megapixel HEIC in 512-pixel tiles as phones write it (libheif) and a
// 12-megapixel WebP (libwebp), each decoded for a 1920 x 1080 screen. The cross build has no
// encoders, so the Linux build writes the files and the Windows one reads them:
//
//   picture_bench [--benchmark options] [FOLDER]   (default: the system's temporary folder)

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchPictures.h"
#include "gfx/decode/PictureFormats.h"

namespace fs = std::filesystem;

namespace {

constexpr gfx::IntSize kScreen{1920, 1080};

fs::path& Folder() {
    static fs::path folder = fs::temp_directory_path() / "saver-bench-pictures";
    return folder;
}

#if SAVER_BENCH_ENCODERS
void MakeFiles() {
    fs::create_directories(Folder());
    if (!fs::exists(Folder() / "phone.heic")) {
        bench::WriteAll((Folder() / "phone.heic").string(), bench::PhoneHeic());
    }
    if (!fs::exists(Folder() / "phone.webp")) {
        bench::WriteAll((Folder() / "phone.webp").string(), bench::PhoneWebp());
    }
}
#endif

// The runtime's decoding of the file for the screen, as the slideshow asks for it.
void OurDecode(gfx::TPictureFormat format, const std::vector<std::uint8_t>& bytes) {
    std::string why;
    const auto picture = gfx::DecodePicture(format, bytes, &why, [](gfx::IntSize) { return kScreen; });
    if (!picture) {
        std::fprintf(stderr, "picture_bench: %s\n", why.c_str());
        std::exit(1);
    }
    benchmark::DoNotOptimize(picture->frames.data());
}

double Seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Times our decoding against the reference, alternating, and reports their ratio.
void Against(benchmark::State& state, const char* file, gfx::TPictureFormat format,
             void (*reference)(const std::vector<std::uint8_t>&)) {
    const auto bytes = bench::ReadAll((Folder() / file).string());
    if (bytes.empty()) {
        state.SkipWithError((std::string("no ") + file + " in " + Folder().string()).c_str());
        return;
    }
    double ours = 0;
    double plain = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { OurDecode(format, bytes); });
        ours += once;
        plain += Seconds([&] { reference(bytes); });
        state.SetIterationTime(once);
    }
    state.counters["ratio_to_plain_decode"] = ours / plain;
}

void BM_TiledHeic12Megapixels(benchmark::State& state) {
    Against(state, "phone.heic", gfx::TPictureFormat::Heif, bench::PlainHeifDecode);
}
BENCHMARK(BM_TiledHeic12Megapixels)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

void BM_Webp12Megapixels(benchmark::State& state) {
    Against(state, "phone.webp", gfx::TPictureFormat::Webp, bench::PlainWebpDecode);
}
BENCHMARK(BM_Webp12Megapixels)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) {
        Folder() = argv[1];
    }
#if SAVER_BENCH_ENCODERS
    MakeFiles();
#endif
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
