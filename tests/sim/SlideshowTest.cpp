// Whole slideshows on the simulated machine: the order items come in, their timing, what reaches
// the screen, and what a long run leaves behind.

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include <tiffio.h>

#include "common/Random.h"
#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Bytes;
using testing_support::Json;
using testing_support::SaverRunTest;

const gfx::Color32 kColours[] = {0xFFE03030, 0xFF30C040, 0xFF3050E0, 0xFFE0C030, 0xFFC030C0, 0xFF30C0C0};
constexpr gfx::Color32 kBackground = 0xFF302010;  // "#302010"

Bytes SolidPng(int w, int h, gfx::Color32 c) { return testing_support::EncodePng(gfx::TBitmap32(w, h, c)); }

class Slideshow : public SaverRunTest {
protected:
    Slideshow() { Machine().monitors = {{0, 0, 320, 240}}; }

    // A saver of n solid 100 x 80 pictures shown at their natural size, centred, on a plain
    // background, each changing with a four-frame crossfade.
    Json Manifest(int n, const Json& header = Json::object()) {
        Json items = Json::array();
        for (int i = 0; i < n; ++i) {
            const std::string name = "item" + std::to_string(i) + ".png";
            Put(name, SolidPng(100, 80, kColours[i % 6]));
            items.push_back({{"file", name}});
        }
        Json h = {{"Seconds", 1}, {"Stretch", 2}, {"EffectSpeed", 10}, {"BackgroundColor", "#302010"},
                  {"BackgroundColor2", "#302010"}, {"ExitESC", true}};
        h.update(header);
        return {{"header", h}, {"strings", {{"SaverName", "Slides"}, {"Effect", {115}}}}, {"items", items}};
    }
};

TEST_F(Slideshow, SequentialItemsComeInTurnFirstAtOnceThenThroughTransitions) {
    gfx::TBitmap32 first;
    gfx::TBitmap32 second;
    Run(Build(Manifest(3)), {"/s"}, 3500, [&](host::TSSWindow& w) {
        first = sim::AsSim(w.Image32()).Canvas();
        sim::At(1500, [&] { second = sim::AsSim(w.Image32()).Canvas(); });
    });
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(Count("Effect 115"), 3) << "the first item comes without a transition";
    // Natural size, centred: (320 - 100) / 2 = 110, (240 - 80) / 2 = 80.
    for (const auto& [canvas, colour] : {std::pair{&first, kColours[0]}, std::pair{&second, kColours[1]}}) {
        EXPECT_EQ(canvas->Pixel(110, 80), colour);
        EXPECT_EQ(canvas->Pixel(209, 159), colour);
        EXPECT_EQ(canvas->Pixel(109, 80), kBackground) << "the background shows beside the item";
        EXPECT_EQ(canvas->Pixel(110, 160), kBackground);
    }
}

TEST_F(Slideshow, RandomPassesHoldEveryItemOnceAndShuffleRepeats) {
    Machine().seed = 21;
    Run(Build(Manifest(3, {{"DisplayOrder", 1}})), {"/s"}, 13000);
    const std::vector<int> random = Shown();
    ASSERT_GE(random.size(), 12u);
    for (std::size_t pass = 0; pass + 3 <= random.size(); pass += 3) {
        EXPECT_EQ(std::set<int>(random.begin() + static_cast<long>(pass), random.begin() + static_cast<long>(pass) + 3),
                  (std::set<int>{0, 1, 2}));
        if (pass > 0) {
            EXPECT_NE(random[pass], random[pass - 1]);
        }
    }

    sim::Reset();
    Machine().tempPath = Temp();
    Machine().monitors = {{0, 0, 320, 240}};
    trace.clear();
    Run(Build(Manifest(4, {{"DisplayOrder", 2}})), {"/s"}, 13000);
    const std::vector<int> shuffle = Shown();
    ASSERT_GE(shuffle.size(), 12u);
    for (std::size_t i = 4; i < shuffle.size(); ++i) {
        EXPECT_EQ(shuffle[i], shuffle[i - 4]) << i;
    }
}

TEST_F(Slideshow, TheIntroductionItemComesFirstAndNeverAgain) {
    Run(Build(Manifest(3, {{"IntroFirstItem", true}})), {"/s"}, 6500);
    const std::vector<int> shown = Shown();
    ASSERT_GE(shown.size(), 5u);
    EXPECT_EQ(shown[0], 0);
    EXPECT_TRUE(std::none_of(shown.begin() + 1, shown.end(), [](int i) { return i == 0; }));
}

TEST_F(Slideshow, AnOrderOutsideTheListIsSequentialAndPassesOverTheIntroduction) {
    for (const std::int32_t stored : {3, -1, 0x7FFFFFFF}) {
        SCOPED_TRACE(stored);
        sim::Reset();
        Machine().tempPath = Temp();
        Machine().monitors = {{0, 0, 320, 240}};
        trace.clear();
        Machine().registry.SetInteger("\\Software\\Tavolisk\\Slides", "DisplayOrder", stored);
        EXPECT_EQ(Run(Build(Manifest(3, {{"IntroFirstItem", true}})), {"/s"}, 6500), -1) << "still running";
        const std::vector<int> shown = Shown();
        ASSERT_GE(shown.size(), 5u);
        EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 5), (std::vector<int>{0, 1, 2, 1, 2}));
    }
}

TEST_F(Slideshow, ALoneItemIsShownOnceWithoutTransitionAndTheTimerStops) {
    bool timerOn = true;
    Run(Build(Manifest(1)), {"/s"}, 5000, [&](host::TSSWindow& w) { sim::At(4000, [&] { timerOn = w.Timer().Enabled(); }); });
    EXPECT_EQ(Shown(), std::vector<int>{0});
    EXPECT_FALSE(timerOn);
    EXPECT_EQ(Count("Effect 115"), 0);
}

TEST_F(Slideshow, TheDesktopComesFirstAndTheFirstItemFollowsThroughATransition) {
    Machine().desktopColor = 0xFF777777;
    gfx::TBitmap32 atStart;
    Run(Build(Manifest(2, {{"DesktopStart", true}})), {"/s"}, 600,
        [&](host::TSSWindow& w) { atStart = sim::AsSim(w.Image32()).Canvas(); });
    EXPECT_EQ(atStart.Pixel(160, 120), 0xFF777777u) << "the desktop's picture, item and all";
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown()[0], 0);
    EXPECT_EQ(Count("Effect 115"), 1) << "the first item arrives through a transition at once";
}

TEST_F(Slideshow, AnItemsOwnDurationHoldsItLonger) {
    Json m = Manifest(3);
    m["items"][1]["duration"] = 3;
    std::vector<std::uint64_t> times;
    core::SetTraceSink([&](std::string_view text) {
        trace.emplace_back(text);
        if (text == "Restart Timer") {
            times.push_back(sim::Now());
        }
    });
    Run(Build(m), {"/s"}, 9000);
    ASSERT_GE(times.size(), 3u);
    // Each gap is the display time of the item before plus the next transition's own length, which
    // is the same every time: item 1 stays exactly two seconds longer than item 2.
    EXPECT_EQ(times[1] - times[0], times[2] - times[1] + 2000);
    EXPECT_GE(times[2] - times[1], 1000u);
}

TEST_F(Slideshow, AnUndecodableItemIsSkippedAndTheScreenStays) {
    Json m = Manifest(3);
    Put("broken.png", Bytes(300, 0x42));
    m["items"][1]["file"] = "broken.png";
    gfx::TBitmap32 during;
    Run(Build(m), {"/s"}, 3500, [&](host::TSSWindow& w) { sim::At(1500, [&] { during = sim::AsSim(w.Image32()).Canvas(); }); });
    EXPECT_EQ(Shown(), (std::vector<int>{0, 2, 0}));
    EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [](const std::string& t) { return t.rfind("Item 1 skipped", 0) == 0; }));
    EXPECT_EQ(during.Pixel(160, 120), kColours[0]) << "item 0 stays while item 1 fails";
    EXPECT_TRUE(Machine().messageBoxes.empty());
}

TEST_F(Slideshow, TwoMonitorsTakeTheStillImagesInTurn) {
    Machine().monitors = {{0, 0, 320, 240}, {320, 0, 640, 240}};
    gfx::TBitmap32 main;
    gfx::TBitmap32 second;
    Run(Build(Manifest(3)), {"/s"}, 1500, [&](host::TSSWindow& w) {
        sim::At(1400, [&] {
            main = sim::AsSim(w.Image32()).Canvas();
            second = sim::AsSim(*w.SecondImage()).Canvas();
        });
    });
    EXPECT_EQ(main.Pixel(160, 120), kColours[0]) << "the main monitor first";
    EXPECT_EQ(second.Pixel(160, 120), kColours[1]) << "then the second";
}

TEST_F(Slideshow, ATransparentGifShowsTheBackgroundThroughIt) {
    testing_support::GifLayout gif{40, 20, {0xFF000000, 0xFFFFFFFF}, 0, std::nullopt, {}};
    testing_support::GifFrameLayout frame;
    frame.width = 40;
    frame.height = 20;
    frame.transparent = 0;
    frame.indices.assign(800, 1);
    std::fill(frame.indices.begin(), frame.indices.begin() + 400, 0);  // the top half is transparent
    gif.frames.push_back(frame);
    Put("clear.gif", testing_support::EncodeGif(gif));
    Json m = Manifest(1);
    m["items"][0]["file"] = "clear.gif";
    gfx::TBitmap32 shown;
    Run(Build(m), {"/s"}, 100, [&](host::TSSWindow& w) { shown = sim::AsSim(w.Image32()).Canvas(); });
    // 40 x 20 centred on 320 x 240 at (140, 110).
    EXPECT_EQ(shown.Pixel(150, 112), kBackground) << "the background through the transparent half";
    EXPECT_EQ(shown.Pixel(150, 125), 0xFFFFFFFFu);
}

// A photograph taken with the phone upright is stored on its side with EXIF orientation 6: it
// shows upright, its sides swapped, before the layout places it; a TIFF with unassociated alpha
// shows its own colours, made opaque like every still.
TEST_F(Slideshow, PhotosShowUprightAndAlphaTiffsInTheirOwnColours) {
    gfx::TBitmap32 stored(100, 60, 0xFFE02020);
    stored.FillRect({50, 0, 100, 60}, 0xFF2020E0);  // the right half blue: the bottom when upright
    Put("portrait.jpg", testing_support::WithExifOrientation(testing_support::EncodeJpeg(stored), 6));
    testing_support::TiffImage alpha{100, 60, 4, 8};
    alpha.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    for (int y = 0; y < 60; ++y) {
        std::vector<std::uint64_t> row;
        for (int x = 0; x < 100; ++x) {
            row.insert(row.end(), {0x30, 0xC0, 0x40, 0x40});  // a quarter alpha
        }
        alpha.rows.push_back(testing_support::PackSamples(row, 8));
    }
    Put("alpha.tif", testing_support::EncodeTiff(alpha));
    Json m = Manifest(2);
    m["items"][0]["file"] = "portrait.jpg";
    m["items"][1]["file"] = "alpha.tif";
    gfx::TBitmap32 photo;
    gfx::TBitmap32 tiff;
    Run(Build(m), {"/s"}, 1500, [&](host::TSSWindow& w) {
        photo = sim::AsSim(w.Image32()).Canvas();
        sim::At(1400, [&] { tiff = sim::AsSim(w.Image32()).Canvas(); });
    });
    // Upright it is 60 x 100, centred on 320 x 240 at (130, 70).
    const auto near = [](gfx::Color32 a, gfx::Color32 b) {
        return std::abs(gfx::RedOf(a) - gfx::RedOf(b)) < 12 && std::abs(gfx::BlueOf(a) - gfx::BlueOf(b)) < 12;
    };
    EXPECT_TRUE(near(photo.Pixel(160, 80), 0xFFE02020)) << std::hex << photo.Pixel(160, 80);
    EXPECT_TRUE(near(photo.Pixel(160, 160), 0xFF2020E0)) << std::hex << photo.Pixel(160, 160);
    EXPECT_EQ(photo.Pixel(129, 120), kBackground);
    EXPECT_NE(photo.Pixel(130, 120), kBackground);
    EXPECT_EQ(photo.Pixel(190, 120), kBackground);
    EXPECT_EQ(photo.Pixel(160, 69), kBackground);
    EXPECT_NE(photo.Pixel(160, 70), kBackground);
    EXPECT_EQ(photo.Pixel(160, 170), kBackground);
    // 100 x 60 at (110, 90), in the colour as stored.
    EXPECT_EQ(tiff.Pixel(160, 120), 0xFF30C040u);
    EXPECT_EQ(tiff.Pixel(109, 120), kBackground);
}

// Everything a long run decodes goes away again: memory stays flat, and only the pieces meant to
// stay (background, logo, exit banner) are left in the temporary folder.
TEST_F(Slideshow, AThousandItemsOfEveryKindLeaveNothingBehind) {
    Machine().monitors = {{0, 0, 160, 120}};
    const gfx::TBitmap32 picture(64, 48, 0xFF406080);
    const std::vector<std::pair<std::string, Bytes>> kinds = {
        {"a.png", testing_support::EncodePng(picture)},
        {"a.jpg", testing_support::EncodeJpeg(picture)},
        {"a.bmp", testing_support::EncodeBmp(picture)},
        {"a.tif", testing_support::EncodeTiff(picture, testing_support::TiffKind::Rgb)},
        {"a.gif", testing_support::EncodeGif({64, 48, {0xFF406080}, 0, 0, {{0, 0, 64, 48, Bytes(64 * 48, 0)}}})},
        {"a.ico", testing_support::EncodeIco({{64, 48, 32, testing_support::IconBitmapImage(picture, 32)}})},
    };
    Json items = Json::array();
    for (int i = 0; i < 1000; ++i) {
        const auto& [name, bytes] = kinds[static_cast<std::size_t>(i) % kinds.size()];
        if (i < static_cast<int>(kinds.size())) {
            Put(name, bytes);
        }
        items.push_back({{"file", name}, {"compress", i % 2 == 0}});
    }
    Put("logo.png", testing_support::EncodePng(gfx::TBitmap32(8, 8, 0xFFFFFFFF)));
    const std::string saver = Build({{"header", {{"Seconds", 1}, {"EffectSpeed", 10}, {"ExitESC", true}}},
                                     {"strings", {{"SaverName", "Long"}, {"Effect", {5, 115}}}},
                                     {"items", items},
                                     {"logo", {{"file", "logo.png"}}}});
    std::size_t early = 0;
    std::size_t late = 0;
    auto inUse = [] { return mallinfo2().uordblks; };
    Run(saver, {"/s"}, 1050 * 1000, [&](host::TSSWindow&) {
        sim::At(100 * 1000, [&] { early = inUse(); });
        sim::At(1000 * 1000, [&] { late = inUse(); });
    });
    EXPECT_GE(Shown().size(), 950u);
    EXPECT_LT(static_cast<double>(late), static_cast<double>(early) * 1.1 + 256 * 1024) << "memory grows";
    EXPECT_EQ(testing_support::ListFiles(Dir().Path()).size(), kinds.size() + 3u) << "pictures, logo, saver, manifest";
    std::vector<std::string> left;
    for (const std::string& name : testing_support::ListFiles(Dir().Path())) {
        if (name.rfind("SS", 0) == 0) {
            left.push_back(name);
        }
    }
    EXPECT_EQ(left, std::vector<std::string>{"SSLG.PNG"});
}

}  // namespace
