// Frame cost of all 120 effects at 1920 x 1080 and 3840 x 2160. Each family is driven frame by frame
// onto a simulated canvas, without the worker and without pacing, so a frame costs what its
// composition and its copies onto the canvas cost. Every effect reports its mean and worst frame in
// milliseconds and as a ratio to a plain memory copy of one whole frame, measured in the same run.
// "Crossfade" is also set against the memory-copy floor of the bytes it touches and against pixman
// compositing the same frame. One core is used.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Mix.h"
#include "platform/sim/SimSurface.h"
#include "transitions/Catalogue.h"
#include "transitions/SurfacePresenter.h"

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

// One size's pictures and canvas, made once.
struct Stage {
    gfx::TBitmap32 oldPicture;
    gfx::TBitmap32 newPicture;
    gfx::TBitmap32 work;
    sim::SimSurface canvas;
    double memcpyMs = 0;

    Stage(std::int32_t width, std::int32_t height)
        : oldPicture(Picture(width, height, 1)),
          newPicture(Picture(width, height, 2)),
          work(width, height),
          canvas(0, {0, 0, width, height}) {
        memcpyMs = MeasureMemcpy();
    }

    trans::TTransImages Images() { return {&newPicture, &oldPicture, &work}; }

    // The time of copying the new picture's bytes onto a frame of the same size, as a whole frame's
    // present would without any geometry: the fastest of a few rounds, the floor of a frame's copy.
    double MeasureMemcpy() {
        const std::size_t bytes = static_cast<std::size_t>(work.Width()) * work.Height() * sizeof(gfx::Color32);
        gfx::TBitmap32 target(work.Width(), work.Height());
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
    trans::TSurfacePresenter presenter(stage.canvas, stage.Images());
    std::vector<double> best;  // per frame
    double total = 0;
    std::int64_t frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        stage.canvas.CopyToCanvas(stage.oldPicture, stage.oldPicture.BoundsRect(), stage.oldPicture.BoundsRect());
        auto family = trans::CreateFamily(effect, stage.Images(), kFrames);
        state.ResumeTiming();
        std::size_t frame = 0;
        for (bool more = family != nullptr; more; ++frame) {
            const auto t0 = Clock::now();
            more = family->DrawFrame(presenter);
            const double ms = Milliseconds(Clock::now() - t0);
            total += ms;
            ++frames;
            if (frame < best.size()) {
                best[frame] = std::min(best[frame], ms);
            } else {
                best.push_back(ms);
            }
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
    gfx::TBitmap32 target(stage.work.Width(), stage.work.Height());
    const std::size_t bytes = static_cast<std::size_t>(target.Width()) * target.Height() * sizeof(gfx::Color32);
    for (auto _ : state) {
        std::memcpy(target.Bits(), stage.newPicture.Bits(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

pixman_image_t* PixmanView(gfx::TBitmap32& bitmap) {
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, bitmap.Width(), bitmap.Height(),
                                    reinterpret_cast<std::uint32_t*>(bitmap.Bits()),
                                    bitmap.Width() * static_cast<int>(sizeof(gfx::Color32)));
}

// "Crossfade", one frame at every alpha it runs through at N = 64, three ways: our frame (the blend
// into WorkImage and its copy onto the canvas), pixman composing the same WorkImage (the old picture
// copied, the new one drawn over it with a constant-alpha mask) with the same copy onto the canvas,
// and the blend alone against pixman's composition alone. The floor is a memory copy of as many
// bytes as the frame touches: it reads two pictures and writes one, then reads that one and writes
// the canvas, five frames' worth, where a copy of n bytes touches 2 n. It is measured on buffers of
// that size, so that it meets the same caches as the frame does.
double CopyFloor(std::size_t bytes) {
    std::vector<std::uint8_t> from(bytes, 1);
    std::vector<std::uint8_t> to(bytes, 2);
    return BestOf(20, [&] { std::memcpy(to.data(), from.data(), bytes); });
}

void BM_CrossfadeVsPixman(benchmark::State& state) {
    Stage& stage = StageFor(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    trans::TSurfacePresenter presenter(stage.canvas, stage.Images());
    const gfx::IntRect whole = stage.work.BoundsRect();
    gfx::TBitmap32 oldCopy = stage.oldPicture;
    gfx::TBitmap32 newCopy = stage.newPicture;
    pixman_image_t* oldImage = PixmanView(oldCopy);
    pixman_image_t* newImage = PixmanView(newCopy);
    pixman_image_t* work = PixmanView(stage.work);
    const int w = whole.Width();
    const int h = whole.Height();
    const int d = 765 / kFrames;
    constexpr int kRounds = 5;
    double frame = 0, pixmanFrame = 0, blend = 0, pixmanBlend = 0;
    int frames = 0;
    for (auto _ : state) {
        frame = pixmanFrame = blend = pixmanBlend = 0;
        frames = 0;
        for (int v = d; v < 255; v += d, ++frames) {
            const auto alpha = static_cast<std::uint32_t>(v);
            auto ours = [&] {
                gfx::MixPixels(stage.work.View(), stage.oldPicture.View(), stage.newPicture.View(), alpha);
            };
            const pixman_color_t colour{0, 0, 0, static_cast<std::uint16_t>(v * 257)};
            pixman_image_t* mask = pixman_image_create_solid_fill(&colour);
            auto theirs = [&] {
                pixman_image_composite32(PIXMAN_OP_SRC, oldImage, nullptr, work, 0, 0, 0, 0, 0, 0, w, h);
                pixman_image_composite32(PIXMAN_OP_OVER, newImage, mask, work, 0, 0, 0, 0, 0, 0, w, h);
            };
            auto present = [&] { presenter.Present(trans::TSource::Work, whole, whole); };
            blend += BestOf(kRounds, ours);
            pixmanBlend += BestOf(kRounds, theirs);
            frame += BestOf(kRounds, [&] {
                ours();
                present();
            });
            pixmanFrame += BestOf(kRounds, [&] {
                theirs();
                present();
            });
            pixman_image_unref(mask);
        }
    }
    pixman_image_unref(work);
    pixman_image_unref(newImage);
    pixman_image_unref(oldImage);
    const std::size_t frameBytes = static_cast<std::size_t>(w) * h * sizeof(gfx::Color32);
    const double floor = CopyFloor(frameBytes * 5 / 2);
    state.counters["frame_ms"] = frame / frames;
    state.counters["pixman_frame_ms"] = pixmanFrame / frames;
    state.counters["floor_ms"] = floor;
    state.counters["frame_x_floor"] = frame / frames / floor;
    state.counters["frame_x_pixman"] = frame / pixmanFrame;
    state.counters["blend_ms"] = blend / frames;
    state.counters["pixman_blend_ms"] = pixmanBlend / frames;
    state.counters["blend_x_pixman"] = blend / pixmanBlend;
}

void Register() {
    for (const auto& [width, height, iterations] : {std::tuple{1920, 1080, 5}, std::tuple{3840, 2160, 3}}) {
        benchmark::RegisterBenchmark("MemcpyFrame", BM_MemcpyFrame)
            ->Args({width, height})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("CrossfadeVsPixman", BM_CrossfadeVsPixman)
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
