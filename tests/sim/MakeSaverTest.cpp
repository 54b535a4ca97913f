// Making a screen saver as the README and the manifest reference tell it: the reference's example
// and a folder of pictures, built by the real sspack and run by ssrender until every item has
// shown; a file that is no screen saver, and pictures of every format for ssrender's transitions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gfx/io/ImageFiles.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/Savers.h"
#include "tools/ssrender/Render.h"
#include "tools/ssrender/RunSaver.h"

namespace fs = std::filesystem;

namespace {

using testing_support::Bytes;

class MakeSaver : public testing_support::SaverTest {
protected:
    void SetUp() override { Put("runtime.bin", testing_support::FakeRuntime()); }

    ssrender::RunResult RunFor(const std::string& saver, std::int32_t seconds) {
        ssrender::RunOptions options;
        options.saver = Path(saver);
        options.screen = {320, 240};
        options.seconds = seconds;
        options.outDir = Path("shots");
        return ssrender::RunSaverFile(options);
    }
};

std::vector<std::int32_t> FirstFour(const std::vector<std::int32_t>& shown) {
    return std::vector<std::int32_t>(shown.begin(), shown.begin() + std::min<std::ptrdiff_t>(4, std::ssize(shown)));
}

// The largest difference of the two colours' channels.
int Distance(gfx::Color32 a, gfx::Color32 b) {
    return std::max({std::abs(gfx::RedOf(a) - gfx::RedOf(b)), std::abs(gfx::GreenOf(a) - gfx::GreenOf(b)),
                     std::abs(gfx::BlueOf(a) - gfx::BlueOf(b))});
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The JSON of the reference's section "A complete example".
std::string ExampleManifest() {
    const std::string reference = ReadText(SAVER_SOURCE_DIR "/docs/manifest.md");
    const auto section = reference.find("\n## A complete example\n");
    const auto begin = reference.find("```json\n", section);
    const auto end = reference.find("\n```\n", begin);
    if (section == std::string::npos || begin == std::string::npos || end == std::string::npos) {
        return "";
    }
    return reference.substr(begin + 8, end - begin - 8);
}

TEST_F(MakeSaver, TheManifestReferencesExampleBuildsAsItStandsAndShowsEveryItem) {
    const std::string manifest = ExampleManifest();
    ASSERT_NE(manifest, "");
    std::ofstream(Path("holiday.json")) << manifest;
    fs::copy(SAVER_SOURCE_DIR "/docs/example", Path("example"));
    ASSERT_EQ(Run(SSPACK_EXE, "build holiday.json --runtime runtime.bin -o Holiday.scr"), 0) << Err();
    EXPECT_EQ(Err(), "");
    EXPECT_NE(Out().find("Holiday.scr: 4 pictures, 1 music track, 5 effects, "), std::string::npos) << Out();
    EXPECT_EQ(Run(SSPACK_EXE, "check Holiday.scr"), 0) << Out();

    const ssrender::RunResult run = RunFor("Holiday.scr", 20);
    EXPECT_EQ(FirstFour(run.shown), (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(run.skipped, std::vector<std::string>{});
    EXPECT_GE(run.transitions, 3);
}

TEST_F(MakeSaver, AFolderOfPicturesBecomesASaverThatShowsEachPicture) {
    // Four pictures of the screen's shape, each of its own colour, so that fitted each fills it.
    const gfx::Color32 colours[] = {0xFFC03020, 0xFF20A040, 0xFF2040C0, 0xFFE0C020};
    fs::create_directory(Path("photos"));
    Put("photos/1.jpg", testing_support::EncodeJpeg(gfx::TBitmap32(64, 48, colours[0])));
    Put("photos/2.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, colours[1])));
    Put("photos/3.bmp", testing_support::EncodeBmp(gfx::TBitmap32(64, 48, colours[2])));
    Put("photos/4.tif",
        testing_support::EncodeTiff(gfx::TBitmap32(64, 48, colours[3]), testing_support::TiffKind::Rgb));
    Put("song.wav", testing_support::SilentWav(1000));
    const std::string args =
        "build --pictures photos --music song.wav --name Colours --runtime runtime.bin -o Colours.scr";
    ASSERT_EQ(Run(SSPACK_EXE, args), 0) << Err();

    const ssrender::RunResult run = RunFor("Colours.scr", 20);
    EXPECT_EQ(FirstFour(run.shown), (std::vector<std::int32_t>{0, 1, 2, 3}));
    ASSERT_GE(run.transitions, 3);
    // After each transition the new picture fills the screen.
    for (int n = 1; n <= 3; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "shots/transition-%04d.png", n);
        const gfx::TBitmap32 shot = gfx::io::ReadPng(Path(name));
        EXPECT_EQ(shot.Pixel(160, 120), colours[n]) << name;
        EXPECT_EQ(shot.Pixel(2, 2), colours[n]) << name;
    }
}

TEST_F(MakeSaver, ARunOnThreeScreensWritesEachMonitorsPicturesAtItsOwnSize) {
    // Pictures of the primary's shape: fitted, each fills the primary and lies across the middle of
    // the portrait monitor.
    const gfx::Color32 colours[] = {0xFFC03020, 0xFF20A040, 0xFF2040C0};
    fs::create_directory(Path("photos"));
    for (int i = 0; i < 3; ++i) {
        Put("photos/" + std::to_string(i) + ".png", testing_support::EncodePng(gfx::TBitmap32(64, 48, colours[i])));
    }
    ASSERT_EQ(Run(SSPACK_EXE, "build --pictures photos --name Three --runtime runtime.bin -o Three.scr"), 0) << Err();
    ASSERT_EQ(Run(SSRENDER_EXE, "run Three.scr --screen 320x240 --screen 120x200 --screen 400x240 --seconds 17 "
                                "--every 16900 --out shots"),
              0)
        << Err();

    const gfx::TBitmap32 main = gfx::io::ReadPng(Path("shots/screen-0016900.png"));
    const gfx::TBitmap32 portrait = gfx::io::ReadPng(Path("shots/monitor2-transition-0001.png"));
    const gfx::TBitmap32 wide = gfx::io::ReadPng(Path("shots/monitor3-screen-0016900.png"));
    ASSERT_EQ(main.BoundsRect().Size(), (gfx::IntSize{320, 240}));
    ASSERT_EQ(portrait.BoundsRect().Size(), (gfx::IntSize{120, 200}));
    ASSERT_EQ(wide.BoundsRect().Size(), (gfx::IntSize{400, 240}));
    // 64 x 48 fitted to 120 x 200 is 120 x 90, from 100 - 45 = 55 to 145.
    EXPECT_EQ(portrait.Pixel(0, 55), colours[1]);
    EXPECT_EQ(portrait.Pixel(119, 144), colours[1]);
    EXPECT_NE(portrait.Pixel(60, 54), colours[1]);
    EXPECT_NE(portrait.Pixel(60, 145), colours[1]);
    // The third item went to the wide monitor, fitted to 320 x 240 in its middle; the fourth tick
    // brought the first item back to the primary.
    EXPECT_EQ(wide.Pixel(40, 0), colours[2]);
    EXPECT_EQ(wide.Pixel(359, 239), colours[2]);
    EXPECT_NE(wide.Pixel(39, 120), colours[2]);
    EXPECT_EQ(main.Pixel(0, 0), colours[0]);
    EXPECT_FALSE(fs::exists(Path("shots/second-transition-0001.png")));
}

TEST_F(MakeSaver, AFileThatIsNoScreenSaverEndsTheRunWithTheSystemsMessage) {
    EXPECT_EQ(Run(SSRENDER_EXE, "run runtime.bin --seconds 2 --out shots"), 1);
    EXPECT_EQ(Err(),
              "ssrender: The screen saver can not run because of one of the following reasons:\n"
              "\n"
              "* The file is corrupted\n"
              "* Your computer is out of resources\n"
              "* Windows error\n");
}

TEST_F(MakeSaver, TransitionsTakePicturesOfEveryFormatTheScreenSaverShows) {
    Put("from.jpg", testing_support::EncodeJpeg(gfx::TBitmap32(20, 10, 0xFF808080)));
    Put("to.bmp", testing_support::EncodeBmp(gfx::TBitmap32(20, 10, 0xFF2050A0)));
    ssrender::EffectOptions o;
    o.effect = 5;
    o.from = Path("from.jpg");
    o.to = Path("to.bmp");
    o.frames = 4;
    o.outDir = Path("frames");
    EXPECT_EQ(ssrender::RenderEffect(o), 6);
    EXPECT_LE(Distance(gfx::io::ReadPng(Path("frames/frame-0001.png")).Pixel(10, 5), 0xFF808080u), 2);  // JPEG
    EXPECT_EQ(gfx::io::ReadPng(Path("frames/frame-0006.png")).Pixel(10, 5), 0xFF2050A0u);

    Put("photo.psd", Bytes{'8', 'B', 'P', 'S', 0, 1});
    o.from = Path("photo.psd");
    try {
        ssrender::RenderEffect(o);
        ADD_FAILURE() << "a Photoshop file was taken";
    } catch (const std::runtime_error& e) {
        const std::string why =
            "not a picture format the screen saver can show (it shows JPEG, PNG, GIF, TIFF, BMP, "
            "ICO, WMF, EMF, HEIC, HEIF, AVIF, WebP)";
        EXPECT_EQ(std::string(e.what()), Path("photo.psd") + ": " + why);
    }
}

}  // namespace
