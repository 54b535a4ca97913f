// ssrender shows a phone's pictures as the runtime does: a HEIC and a WebP item come on screen, a
// video shows as its grey panel, and a transition takes them as its pictures.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gfx/io/ImageFiles.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/Savers.h"
#include "tools/ssrender/Render.h"
#include "tools/ssrender/RunSaver.h"

namespace {

using testing_support::Json;

constexpr gfx::Color32 kRed = 0xFFC03020;
constexpr gfx::Color32 kBlue = 0xFF2040C0;
constexpr gfx::Color32 kPanel = 0xFF808080;

// Lossy coding moves a flat colour by a few steps.
bool Near(gfx::Color32 a, gfx::Color32 b) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 6) {
            return false;
        }
    }
    return true;
}

class SsrenderPhone : public testing_support::SaverTest {
protected:
    void SetUp() override {
        Put("red.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, kRed)));
        Put("blue.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, kBlue)));
        Make("heif-enc", "-q 90 red.png -o photo.heic");
        Make("cwebp", "-quiet -q 95 blue.png -o photo.webp");
        Make("ffmpeg",
             "-v error -y -f lavfi -i color=c=green:s=64x48:d=1:r=10 -c:v libx264 -pix_fmt yuv420p clip.mp4");
    }

    void Make(const std::string& tool, const std::string& args) {
        ASSERT_EQ(Run(tool, args), 0) << tool << " " << args << "\n" << Err();
    }

    gfx::Color32 Middle(const std::string& png) {
        const gfx::TBitmap32 shot = gfx::io::ReadPng(Path(png));
        return shot.Pixel(shot.Width() / 2, shot.Height() / 2);
    }
};

TEST_F(SsrenderPhone, AHeicAndAWebpComeOnScreenAndAVideoIsItsGreyPanel) {
    // Stretched over the screen, changing at once: each screenshot shows one item whole.
    const Json items = {{{"file", "photo.heic"}}, {{"file", "photo.webp"}}, {{"file", "clip.mp4"}}};
    const std::string saver = Build({{"header", {{"Seconds", 1}, {"Stretch", 1}, {"ExitESC", true}}},
                                     {"strings", {{"SaverName", "Phone"}, {"Effect", Json::array()}}},
                                     {"items", items}});
    ssrender::RunOptions options;
    options.saver = saver;
    options.screen = {320, 240};
    options.seconds = 3;
    options.everyMs = 500;
    options.outDir = Path("out");
    const ssrender::RunResult result = ssrender::RunSaverFile(options);

    EXPECT_EQ(result.skipped, std::vector<std::string>{});
    EXPECT_EQ(result.shown, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_TRUE(Near(Middle("out/screen-0000500.png"), kRed)) << std::hex << Middle("out/screen-0000500.png");
    EXPECT_TRUE(Near(Middle("out/screen-0001500.png"), kBlue)) << std::hex << Middle("out/screen-0001500.png");
    EXPECT_EQ(Middle("out/screen-0002500.png"), kPanel);
}

TEST_F(SsrenderPhone, ATransitionGoesFromAHeicToAWebp) {
    ssrender::EffectOptions o;
    o.effect = 5;  // "Slide From Left"
    o.from = Path("photo.heic");
    o.to = Path("photo.webp");
    o.frames = 4;
    o.outDir = Path("frames");
    EXPECT_EQ(ssrender::RenderEffect(o), 6);
    EXPECT_TRUE(Near(Middle("frames/frame-0001.png"), kRed)) << std::hex << Middle("frames/frame-0001.png");
    EXPECT_TRUE(Near(Middle("frames/frame-0006.png"), kBlue)) << std::hex << Middle("frames/frame-0006.png");
}

}  // namespace
