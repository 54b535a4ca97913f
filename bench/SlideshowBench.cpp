// One still item from the timer's tick to the composed frame on a 1920 x 1080 screen, taken out of
// the package, decoded, laid out and put on screen, each against its own library decoding the same
// file in the same run: a 24-megapixel JPEG (libjpeg-turbo; also the peak memory of that load
// against the decoded picture's size), a 12-megapixel HEIC in 512-pixel tiles as phones write them
// (libheif) and a 12-megapixel WebP (libwebp).

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchPictures.h"
#include "package/PackageReader.h"
#include "platform/Surface.h"
#include "platform/Window.h"
#include "platform/sim/Sim.h"
#include "slideshow/GifAnimator.h"
#include "slideshow/ItemLoader.h"
#include "slideshow/Overlays.h"
#include "slideshow/Sequencer.h"
#include "tests/support/PictureEncoders.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/PackageWriter.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / "saver-bench-slideshow";
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

// A file in the bench folder, made once.
const std::string& Made(const std::string& name, const std::function<std::vector<std::uint8_t>()>& make) {
    static std::map<std::string, std::string> made;
    auto& path = made[name];
    if (path.empty()) {
        const fs::path file = Folder() / name;
        if (!fs::exists(file)) {
            bench::WriteAll(file.string(), make());
        }
        path = file.string();
    }
    return path;
}

const std::string& Photo() {
    return Made("photo.jpg", [] { return testing_support::EncodeJpeg(bench::PhotoLike(kWidth, kHeight), 90); });
}

const std::string& PhoneHeic() { return Made("phone.heic", bench::PhoneHeic); }

const std::string& PhoneWebp() { return Made("phone.webp", bench::PhoneWebp); }

// A saver whose one item is the picture file.
const std::string& Saver(const std::string& picture) {
    return Made(fs::path(picture).filename().string() + ".scr", [&] {
        const fs::path out = Folder() / "building.scr";
        const std::vector<std::uint8_t> runtime(4096, 0x90);
        const std::string item = fs::path(picture).filename().string();
        sspack::BuildPackageFile(sspack::ParseManifest({{"strings", {{"SaverName", "Bench"}}}, {"items", {{{"file", item}}}}},
                                                       Folder().string()),
                                 runtime, out.string(), {false});
        return bench::ReadAll(out.string());
    });
}

// The reference: libjpeg-turbo decoding the file into 32-bit rows.
void PlainDecode(const std::string& path) {
    const std::vector<unsigned char> bytes = bench::ReadAll(path);
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_height * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * cinfo.output_width * 4;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(pixels.data());
}

// The slideshow's own objects on a simulated 1920 x 1080 screen, ready to load item 0 at once.
struct Stage {
    std::string saver;
    pkg::Package package;
    pkg::SaverSettings settings;
    show::TOverlays overlays;
    show::TGifAnimator gif;
    show::TSequencer sequencer;
    std::unique_ptr<plat::Window> window;
    std::unique_ptr<plat::Surface> surface;
    std::unique_ptr<show::TItemLoader> loader;

    explicit Stage(const std::string& picture) : saver(Saver(picture)), package(pkg::ReadPackage(saver)) {
        sim::Reset();
        sim::M().monitors = {{0, 0, 1920, 1080}};
        sim::M().tempPath = Folder().string() + "/";
        window = plat::Window::Create({"Bench", {0, 0, 1920, 1080}}, {});
        surface = plat::Surface::Create(*window, {0, 0, 1920, 1080});
        overlays.Build(package, saver, {1920, 1080});
        loader = std::make_unique<show::TItemLoader>(
            show::TLoadStage{package, saver, settings, overlays, gif, sequencer, *surface, {}, false, {}});
    }

    void LoadAtOnce() {
        loader->DirectShow = true;
        loader->LoadImage(0, false);
    }
};

double Seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// The growth of the peak resident memory over one load, measured in a fresh child process so that
// earlier runs do not hide it.
long LoadPeakGrowthKilobytes() {
    int pipe[2];
    if (::pipe(pipe) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        Stage stage(Photo());
        const long before = PeakKilobytes();
        stage.LoadAtOnce();
        const long growth = PeakKilobytes() - before;
        [[maybe_unused]] const auto written = ::write(pipe[1], &growth, sizeof growth);
        ::_exit(0);
    }
    long growth = -1;
    [[maybe_unused]] const auto got = ::read(pipe[0], &growth, sizeof growth);
    ::waitpid(child, nullptr, 0);
    ::close(pipe[0]);
    ::close(pipe[1]);
    return growth;
}

// Times the load against the reference, alternating, and reports their ratio.
void LoadAgainst(benchmark::State& state, const std::string& picture, const std::function<void()>& reference) {
    Stage stage(picture);
    double load = 0;
    double decode = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { stage.LoadAtOnce(); });
        load += once;
        decode += Seconds(reference);
        state.SetIterationTime(once);
    }
    state.counters["ratio_to_plain_decode"] = load / decode;
}

void BM_TickToFrame24Megapixels(benchmark::State& state) {
    Stage stage(Photo());
    double load = 0;
    double decode = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { stage.LoadAtOnce(); });
        load += once;
        decode += Seconds([] { PlainDecode(Photo()); });
        state.SetIterationTime(once);
    }
    const double decodedKilobytes = kWidth * 4.0 * kHeight / 1024.0;
    state.counters["ratio_to_plain_decode"] = load / decode;
    state.counters["peak_growth_ratio_to_decoded_picture"] =
        static_cast<double>(LoadPeakGrowthKilobytes()) / decodedKilobytes;
}
BENCHMARK(BM_TickToFrame24Megapixels)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

void BM_TickToFrameTiledHeic12Megapixels(benchmark::State& state) {
    LoadAgainst(state, PhoneHeic(), [] { bench::PlainHeifDecode(bench::ReadAll(PhoneHeic())); });
}
BENCHMARK(BM_TickToFrameTiledHeic12Megapixels)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

void BM_TickToFrameWebp12Megapixels(benchmark::State& state) {
    LoadAgainst(state, PhoneWebp(), [] { bench::PlainWebpDecode(bench::ReadAll(PhoneWebp())); });
}
BENCHMARK(BM_TickToFrameWebp12Megapixels)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
