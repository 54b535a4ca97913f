// One still item from the timer's tick to the composed frame on a 1920 x 1080 screen: a
// 24-megapixel JPEG taken out of the package, decoded, laid out and put on screen, against
// libjpeg-turbo decoding the same file in the same run; and the peak memory of that load against
// the decoded picture's size.

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

// A photograph-like picture: smooth gradients with some detail, so that it compresses as photos do.
const std::string& Photo() {
    static const std::string path = [] {
        const fs::path file = Folder() / "photo.jpg";
        if (!fs::exists(file)) {
            gfx::TBitmap32 picture(kWidth, kHeight);
            for (int y = 0; y < kHeight; ++y) {
                gfx::Color32* row = picture.Row(y);
                for (int x = 0; x < kWidth; ++x) {
                    row[x] = gfx::MakeColor32(static_cast<std::uint8_t>(x * 255 / kWidth),
                                              static_cast<std::uint8_t>(y * 255 / kHeight),
                                              static_cast<std::uint8_t>(((x / 40) ^ (y / 40)) & 1 ? 200 : 60));
                }
            }
            const auto bytes = testing_support::EncodeJpeg(picture, 90);
            std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         static_cast<std::streamsize>(bytes.size()));
        }
        return file.string();
    }();
    return path;
}

const std::string& Saver() {
    static const std::string path = [] {
        const fs::path out = Folder() / "photo.scr";
        if (!fs::exists(out)) {
            Photo();
            const std::vector<std::uint8_t> runtime(4096, 0x90);
            sspack::BuildPackageFile(
                sspack::ParseManifest({{"strings", {{"SaverName", "Bench"}}}, {"items", {{{"file", "photo.jpg"}}}}},
                                      Folder().string()),
                runtime, out.string(), {false});
        }
        return out.string();
    }();
    return path;
}

// The reference: libjpeg-turbo decoding the file into 32-bit rows.
void PlainDecode(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    pkg::Package package = pkg::ReadPackage(Saver());
    pkg::SaverSettings settings;
    show::TOverlays overlays;
    show::TGifAnimator gif;
    show::TSequencer sequencer;
    std::unique_ptr<plat::Window> window;
    std::unique_ptr<plat::Surface> surface;
    std::unique_ptr<show::TItemLoader> loader;

    Stage() {
        sim::Reset();
        sim::M().monitors = {{0, 0, 1920, 1080}};
        sim::M().tempPath = Folder().string() + "/";
        window = plat::Window::Create({"Bench", {0, 0, 1920, 1080}}, {});
        surface = plat::Surface::Create(*window, {0, 0, 1920, 1080});
        overlays.Build(package, Saver(), {1920, 1080});
        loader = std::make_unique<show::TItemLoader>(
            show::TLoadStage{package, Saver(), settings, overlays, gif, sequencer, *surface, nullptr, false, {}});
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
        Stage stage;
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

void BM_TickToFrame24Megapixels(benchmark::State& state) {
    Stage stage;
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

}  // namespace

BENCHMARK_MAIN();
