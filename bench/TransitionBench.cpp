// Frame cost of all 120 effects at 1920 x 1080 and 3840 x 2160. Each family is driven frame by frame
// onto a canvas in memory, as the screen's bitmap, without the worker and without pacing, so a frame
// costs what its composition and its copies onto the canvas cost. Every effect reports its mean and
// worst frame in milliseconds and as a ratio to a plain memory copy of one whole frame, measured in
// the same run. "Crossfade" is also set against the memory-copy floor of the bytes it must touch
// and, in the Linux build, against pixman compositing the same frame. The program builds for Linux
// and, in the cross build, for Windows, where it runs under Wine (scripts/bench.sh runs both). One
// core is used.

#include <benchmark/benchmark.h>
#if SAVER_BENCH_PIXMAN
#include <pixman.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Blit.h"
#include "gfx/Mix.h"
#include "transitions/Catalogue.h"

namespace {

// The frame count of every run: the slideshow's smoothest speeds use more frames, which makes the
// pieces of each frame smaller, so this is the dearer case per frame.
constexpr std::int32_t kFrames = 64;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Milliseconds of the fastest of a few calls: what the work costs when nothing else takes the core.
template <typename Work>
double BestOf(int rounds, Work work) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto t0 = Clock::now();
        work();
        benchmark::ClobberMemory();
        best = std::min(best, Milliseconds(Clock::now() - t0));
    }
    return best;
}

// Keeps the fastest time of each frame number, over the runs.
void KeepBest(std::vector<double>& best, std::size_t frame, double ms) {
    if (frame < best.size()) {
        best[frame] = std::min(best[frame], ms);
    } else {
        best.push_back(ms);
    }
}

double Mean(const std::vector<double>& values) {
    double total = 0;
    for (const double v : values) {
        total += v;
    }
    return values.empty() ? 0 : total / static_cast<double>(values.size());
}

gfx::TBitmap32 Picture(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    gfx::TBitmap32 p(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        gfx::Color32* row = p.Row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            row[x] = 0xFF000000u | ((static_cast<std::uint32_t>(x) * 2654435761u) ^ (y * 40503u + seed)) >> 8;
        }
    }
    return p;
}

// The screen's bitmap as both backends keep it: copies and compositions write it, and the
// rectangles presented would go on to the window.
class TCanvasPresenter final : public trans::TPresenter {
public:
    TCanvasPresenter(gfx::TBitmap32& canvas, const trans::TTransImages& images) : canvas_(canvas), images_(images) {}

    void Present(trans::TSource image, const gfx::IntRect& source, const gfx::IntRect& target) override {
        gfx::CopyRectStretched(canvas_.View(), target, images_.Get(image).View(), source);
    }

    void Compose(std::span<const gfx::IntRect>, gfx::PixelDraw compose) override { compose(canvas_.View()); }

private:
    gfx::TBitmap32& canvas_;
    trans::TTransImages images_;
};

// One size's pictures and canvas, made once.
struct Stage {
    gfx::TBitmap32 oldPicture;
    gfx::TBitmap32 newPicture;
    gfx::TBitmap32 canvas;
    double memcpyMs = 0;

    Stage(std::int32_t width, std::int32_t height)
        : oldPicture(Picture(width, height, 1)), newPicture(Picture(width, height, 2)), canvas(width, height) {
        memcpyMs = MeasureMemcpy();
    }

    trans::TTransImages Images() { return {&newPicture, &oldPicture}; }

    // The time of copying the new picture's bytes onto a frame of the same size, as a whole frame's
    // present would without any geometry: the fastest of a few rounds, the floor of a frame's copy.
    double MeasureMemcpy() {
        const std::size_t bytes = static_cast<std::size_t>(canvas.Width()) * canvas.Height() * sizeof(gfx::Color32);
        gfx::TBitmap32 target(canvas.Width(), canvas.Height());
        std::memcpy(target.Bits(), newPicture.Bits(), bytes);
        return BestOf(50, [&] { std::memcpy(target.Bits(), newPicture.Bits(), bytes); });
    }
};

Stage& StageFor(std::int32_t width, std::int32_t height) {
    static std::map<std::pair<std::int32_t, std::int32_t>, std::unique_ptr<Stage>> stages;
    auto& stage = stages[{width, height}];
    if (!stage) {
        stage = std::make_unique<Stage>(width, height);
    }
    return *stage;
}

// The mean is over every frame of every run. The worst frame is the dearest frame of the effect,
// each frame taken at its best of the runs, so that a run that lost the processor for a moment does
// not count as the effect's cost.
void BM_Effect(benchmark::State& state) {
    const auto effect = static_cast<std::int32_t>(state.range(0));
    Stage& stage = StageFor(static_cast<std::int32_t>(state.range(1)), static_cast<std::int32_t>(state.range(2)));
    TCanvasPresenter presenter(stage.canvas, stage.Images());
    std::vector<double> best;  // per frame
    double total = 0;
    std::int64_t frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        stage.canvas = stage.oldPicture;
        auto family = trans::CreateFamily(effect, stage.Images(), kFrames);
        state.ResumeTiming();
        std::size_t frame = 0;
        for (bool more = family != nullptr; more; ++frame) {
            const auto t0 = Clock::now();
            more = family->DrawFrame(presenter);
            const double ms = Milliseconds(Clock::now() - t0);
            total += ms;
            ++frames;
            KeepBest(best, frame, ms);
        }
    }
    const double mean = frames > 0 ? total / static_cast<double>(frames) : 0;
    const double worst = best.empty() ? 0 : *std::max_element(best.begin(), best.end());
    state.SetLabel(std::string(trans::EffectName(effect)));
    state.counters["frames"] = static_cast<double>(best.size());
    state.counters["mean_ms"] = mean;
    state.counters["worst_ms"] = worst;
    state.counters["memcpy_ms"] = stage.memcpyMs;
    state.counters["mean_x"] = mean / stage.memcpyMs;
    state.counters["worst_x"] = worst / stage.memcpyMs;
}

void BM_MemcpyFrame(benchmark::State& state) {
    Stage& stage = StageFor(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    gfx::TBitmap32 target(stage.canvas.Width(), stage.canvas.Height());
    const std::size_t bytes = static_cast<std::size_t>(target.Width()) * target.Height() * sizeof(gfx::Color32);
    for (auto _ : state) {
        std::memcpy(target.Bits(), stage.newPicture.Bits(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// The floor of a frame is a memory copy of as many bytes as the frame must touch, where a copy of n
// bytes touches 2 n. It is measured on buffers of that size, so that it meets the same caches as the
// frame does.
double CopyFloor(std::size_t bytes) {
    std::vector<std::uint8_t> from(bytes, 1);
    std::vector<std::uint8_t> to(bytes, 2);
    return BestOf(20, [&] { std::memcpy(to.data(), from.data(), bytes); });
}

#if SAVER_BENCH_PIXMAN
pixman_image_t* PixmanView(gfx::TBitmap32& bitmap) {
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, bitmap.Width(), bitmap.Height(),
                                    reinterpret_cast<std::uint32_t*>(bitmap.Bits()),
                                    bitmap.Width() * static_cast<int>(sizeof(gfx::Color32)));
}

// pixman composing the same frame into the canvas: the old picture copied, the new one drawn over it
// with a constant-alpha mask.
class TPixmanFrame {
public:
    explicit TPixmanFrame(Stage& stage)
        : oldCopy_(stage.oldPicture),
          newCopy_(stage.newPicture),
          old_(PixmanView(oldCopy_)),
          new_(PixmanView(newCopy_)),
          canvas_(PixmanView(stage.canvas)),
          width_(stage.canvas.Width()),
          height_(stage.canvas.Height()) {}
    ~TPixmanFrame() {
        pixman_image_unref(canvas_);
        pixman_image_unref(new_);
        pixman_image_unref(old_);
    }
    TPixmanFrame(const TPixmanFrame&) = delete;
    TPixmanFrame& operator=(const TPixmanFrame&) = delete;

    double Best(int rounds, int v) {
        const pixman_color_t colour{0, 0, 0, static_cast<std::uint16_t>(v * 257)};
        pixman_image_t* mask = pixman_image_create_solid_fill(&colour);
        const double ms = BestOf(rounds, [&] {
            pixman_image_composite32(PIXMAN_OP_SRC, old_, nullptr, canvas_, 0, 0, 0, 0, 0, 0, width_, height_);
            pixman_image_composite32(PIXMAN_OP_OVER, new_, mask, canvas_, 0, 0, 0, 0, 0, 0, width_, height_);
        });
        pixman_image_unref(mask);
        return ms;
    }

private:
    gfx::TBitmap32 oldCopy_;
    gfx::TBitmap32 newCopy_;
    pixman_image_t* old_;
    pixman_image_t* new_;
    pixman_image_t* canvas_;
    int width_;
    int height_;
};
#endif

// "Crossfade" at N = 64, every frame at its best of a few runs: the frame as the family draws it (one
// pass that reads both pictures and writes the canvas), against the floor of the bytes it must touch
// (two pictures read and one written: a copy of one and a half frames), and in the Linux build
// against pixman composing the same frames.
void BM_Crossfade(benchmark::State& state) {
    Stage& stage = StageFor(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    TCanvasPresenter presenter(stage.canvas, stage.Images());
    constexpr int kRounds = 5;
    std::vector<double> best;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            auto family = trans::CreateFamily(115, stage.Images(), kFrames);
            std::size_t frame = 0;
            for (bool more = family != nullptr; more; ++frame) {
                KeepBest(best, frame, BestOf(1, [&] { more = family->DrawFrame(presenter); }));
            }
        }
    }
    const double frame = Mean(best);
    const std::size_t frameBytes =
        static_cast<std::size_t>(stage.canvas.Width()) * stage.canvas.Height() * sizeof(gfx::Color32);
    const double floor = CopyFloor(frameBytes * 3 / 2);
    state.counters["frames"] = static_cast<double>(best.size());
    state.counters["frame_ms"] = frame;
    state.counters["floor_ms"] = floor;
    state.counters["frame_x_floor"] = frame / floor;
#if SAVER_BENCH_PIXMAN
    TPixmanFrame theirs(stage);
    std::vector<double> pixman;
    const int d = 765 / kFrames;
    for (int v = d; v < 255; v += d) {
        pixman.push_back(theirs.Best(kRounds, v));
    }
    state.counters["pixman_frame_ms"] = Mean(pixman);
    state.counters["frame_x_pixman"] = frame / Mean(pixman);
#endif
}

void Register() {
    for (const auto& [width, height, iterations] : {std::tuple{1920, 1080, 5}, std::tuple{3840, 2160, 3}}) {
        benchmark::RegisterBenchmark("MemcpyFrame", BM_MemcpyFrame)
            ->Args({width, height})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Crossfade", BM_Crossfade)
            ->Args({width, height})
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        for (int effect = 1; effect <= trans::kEffectCount; ++effect) {
            benchmark::RegisterBenchmark("Effect", BM_Effect)
                ->Args({effect, width, height})
                ->Iterations(iterations)
                ->Unit(benchmark::kMillisecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
