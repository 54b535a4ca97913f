// An animated WebP item plays in place like an animated GIF: each frame for its own delay,
// looping as the file asks, over the slideshow's background.

#include <gtest/gtest.h>

#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/WebpEncoder.h"

namespace {

using testing_support::Json;

constexpr gfx::Color32 kRed = 0xFFE03030;
constexpr gfx::Color32 kGreen = 0xFF30C040;
constexpr gfx::Color32 kBlue = 0xFF3050E0;

class WebpAnimation : public testing_support::SaverRunTest {
protected:
    WebpAnimation() { Machine().monitors = {{0, 0, 320, 240}}; }

    // One 40 x 20 item at its natural size, centred, shown for five seconds.
    Json Manifest(const std::string& file) {
        return {{"header",
                 {{"Seconds", 5}, {"Stretch", 2}, {"EffectSpeed", 10}, {"BackgroundColor", "#302010"},
                  {"BackgroundColor2", "#302010"}, {"ExitESC", true}}},
                {"strings", {{"SaverName", "Animated"}, {"Effect", {115}}}},
                {"items", {{{"file", file}}}}};
    }

    // The colour at the item's middle at each of the times.
    std::vector<gfx::Color32> SeenAt(const std::string& saver, const std::vector<std::uint64_t>& times) {
        std::vector<gfx::Color32> seen(times.size());
        Run(saver, {"/s"}, times.back() + 1, [&](host::TSSWindow& w) {
            for (std::size_t i = 0; i < times.size(); ++i) {
                sim::At(times[i], [&, i] { seen[i] = sim::AsSim(w.Image32()).Canvas().Pixel(160, 120); });
            }
        });
        return seen;
    }
};

TEST_F(WebpAnimation, AnAnimatedWebpItemPlaysEachFrameForItsDelayAndLoops) {
    std::vector<testing_support::WebpFrame> frames = {{gfx::TBitmap32(40, 20, kRed), 200},
                                                      {gfx::TBitmap32(40, 20, kGreen), 300},
                                                      {gfx::TBitmap32(40, 20, kBlue), 400}};
    Put("anim.webp", testing_support::EncodeAnimatedWebp(frames, 0));
    // Frame 0 from 1 ms, frame 1 from 201, frame 2 from 501, frame 0 again from 901.
    EXPECT_EQ(SeenAt(Build(Manifest("anim.webp")), {100, 350, 700, 1000, 1150}),
              (std::vector<gfx::Color32>{kRed, kGreen, kBlue, kRed, kGreen}));
    EXPECT_EQ(Shown(), (std::vector<int>{0}));
}

TEST_F(WebpAnimation, AStillWebpItemStaysStill) {
    gfx::TBitmap32 picture(40, 20, kGreen);
    Put("still.webp", testing_support::EncodeWebp(picture));
    EXPECT_EQ(SeenAt(Build(Manifest("still.webp")), {100, 600}), (std::vector<gfx::Color32>{kGreen, kGreen}));
    EXPECT_EQ(Shown(), (std::vector<int>{0}));
}

}  // namespace
