// Video items on the simulated machine: where the movie's panel goes, how long the item stays, and
// what comes after it.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sim/Sim.h"
#include "platform/sim/SimPanel.h"
#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/MediaEncoders.h"

namespace {

using testing_support::Json;
using testing_support::SaverRunTest;

constexpr gfx::Color32 kMovie = 0xFF808080;  // what the simulated screen shows of a playing movie
constexpr gfx::Color32 kBackground = 0xFF302010;

class Video : public SaverRunTest {
protected:
    // Items by file name: "*.bmp" a still picture, "*.avi", "*.mp4" and "*.mov" a 320 x 240 movie of
    // `seconds`.
    std::string Saver(const Json& items, const Json& header = Json::object(), int seconds = 2,
                      const Json& extra = Json::object()) {
        Json list = Json::array();
        for (const Json& item : items) {
            const std::string file = item.is_string() ? item.get<std::string>() : item["file"].get<std::string>();
            if (file.ends_with(".bmp")) {
                Put(file, testing_support::SolidBmp(40, 30, 200, 100, 50));
            } else if (file.ends_with(".avi")) {
                Put(file, testing_support::MovieAvi(320, 240, seconds * 10, true));
            } else if (file.ends_with(".mp4")) {
                Put(file, testing_support::IsoMedia({.ms = static_cast<std::uint32_t>(seconds) * 1000}));
            } else if (file.ends_with(".mov")) {
                Put(file, testing_support::IsoMedia({.ms = static_cast<std::uint32_t>(seconds) * 1000, .brand = "qt  "}));
            }
            list.push_back(item.is_string() ? Json{{"file", file}} : item);
        }
        Json h = {{"ExitESC", true}, {"Seconds", 1}, {"Stretch", 2}, {"EffectSpeed", 10},
                  {"BackgroundColor", "#302010"}, {"BackgroundColor2", "#302010"}};
        if (!header.is_null()) {
            h.update(header);
        }
        Json manifest = {{"header", h}, {"strings", {{"SaverName", "Video"}, {"Effect", {115}}}}, {"items", list}};
        manifest.update(extra);
        return Build(manifest);
    }

    static std::vector<sim::MediaEvent> Events(const std::string& event) { return SaverRunTest::Events("MPlay", event); }
};

TEST_F(Video, ThePanelTakesTheMoviesPlaceByTheSizeMode) {
    struct Case {
        int mode;
        gfx::IntRect panel;
    };
    // A 320 x 240 movie on 1024 x 768: natural size and one pixel more, centred; the whole screen;
    // fitted to the screen from 321 x 241, then one pixel more each way.
    for (const Case& c : {Case{2, {352, 264, 673, 505}}, Case{1, {0, 0, 1024, 768}}, Case{0, {0, 0, 1024, 769}}}) {
        sim::Reset();
        Machine().tempPath = Temp();
        gfx::TBitmap32 screen;
        gfx::IntRect bounds;
        bool enabled = true;
        Run(Saver({"movie.avi"}, {{"Stretch", c.mode}}), {"/s"}, 1000, [&](host::TSSWindow& w) {
            sim::At(500, [&] {
                bounds = w.PanelDisplay().Bounds();
                enabled = w.PanelDisplay().Enabled();
                screen = sim::WithPanels(w.Window().Handle(), sim::AsSim(w.Image32()).Canvas());
            });
        });
        EXPECT_EQ(bounds, c.panel) << "mode " << c.mode;
        EXPECT_FALSE(enabled) << "the panel takes no mouse input";
        const auto rects = Events("rect");
        ASSERT_EQ(rects.size(), 1u);
        EXPECT_EQ(rects[0].detail, "0,0," + std::to_string(c.panel.Width()) + "," + std::to_string(c.panel.Height()))
            << "the picture fills the panel";
        const gfx::IntRect shown = c.panel.Intersect({0, 0, 1024, 768});
        EXPECT_EQ(screen.Pixel(shown.left, shown.top), kMovie);
        EXPECT_EQ(screen.Pixel(shown.right - 1, shown.bottom - 1), kMovie);
        if (c.mode == 2) {
            EXPECT_EQ(screen.Pixel(351, 264), kBackground);
            EXPECT_EQ(screen.Pixel(673, 504), kBackground);
        }
    }
}

TEST_F(Video, TheMoviePlaysToItsEndWithTheTimerOffThenTheNextItemComesAtOnce) {
    bool timerDuringVideo = true;
    bool panelAfter = true;
    Run(Saver({"a.bmp", Json{{"file", "movie.avi"}, {"duration", 1}}, "b.bmp"}, {}, 3), {"/s"}, 4500,
        [&](host::TSSWindow& w) {
            sim::At(2500, [&] { timerDuringVideo = w.Timer().Enabled(); });
            sim::At(4200, [&] { panelAfter = w.PanelDisplay().Visible(); });
        });
    const auto plays = Events("play");
    ASSERT_EQ(plays.size(), 1u);
    const auto ends = Events("notice");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].time - plays[0].time, 3000u) << "its own display time does not cut a video short";
    EXPECT_FALSE(timerDuringVideo);
    EXPECT_FALSE(panelAfter);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Count("Video ended"), 1);
    EXPECT_FALSE(std::filesystem::exists(plays[0].file)) << "the movie's file goes when it ends";
}

TEST_F(Video, ALoneVideoLoopsAndTheTimerNeverRuns) {
    bool timerEverOn = false;
    Run(Saver({"movie.avi"}, {}, 1), {"/s"}, 3500, [&](host::TSSWindow& w) {
        for (std::uint64_t t = 100; t < 3500; t += 250) {
            sim::At(t, [&] { timerEverOn = timerEverOn || w.Timer().Enabled(); });
        }
    });
    const auto plays = Events("play");
    ASSERT_EQ(plays.size(), 4u);
    for (std::size_t i = 0; i < plays.size(); ++i) {
        EXPECT_EQ(plays[i].time, 1000 * i);
        EXPECT_EQ(plays[i].detail, "0") << "each play starts from the beginning";
    }
    EXPECT_EQ(Events("open").size(), 1u) << "loaded once";
    EXPECT_FALSE(timerEverOn);
    EXPECT_EQ(Count("Video ended"), 0);
}

TEST_F(Video, AMovieTheServicesCannotOpenIsSkipped) {
    for (const std::string name : {"broken.AVI", "broken.MOV"}) {
        sim::Reset();
        Machine().tempPath = Temp();
        trace.clear();
        Put(name, testing_support::Pattern(500, 4));
        Run(Saver({"a.bmp", name, "b.bmp"}), {"/s"}, 3500);
        EXPECT_EQ(Events("open failed").size(), 1u) << name;
        EXPECT_TRUE(Events("play").empty()) << name;
        EXPECT_EQ(
            Count("Item 1 skipped: cannot be played: The specified file cannot be played on the specified MCI device."), 1)
            << name;
        const std::vector<int> shown = Shown();
        ASSERT_GE(shown.size(), 2u) << name;
        EXPECT_EQ(shown[0], 0);
        EXPECT_EQ(shown[1], 2) << name << ": the slideshow goes on";
    }
}

TEST_F(Video, AMovieTheDeviceWillNotShowInThePanelOrSilenceIsSkipped) {
    for (const std::string refused : {"display", "rect", "volume"}) {
        sim::Reset();
        Machine().tempPath = Temp();
        trace.clear();
        Machine().mediaFiles[".avi"] = {2000, {320, 240}, true, kMovie, {refused}};
        bool panelShown = true;
        Run(Saver({"a.bmp", "movie.avi", "b.bmp"}, {{"MuteVideo", true}}), {"/s"}, 3500, [&](host::TSSWindow& w) {
            sim::At(1500, [&] { panelShown = w.PanelDisplay().Visible(); });
        });
        EXPECT_EQ(Events(refused + " failed").size(), 1u) << refused;
        EXPECT_TRUE(Events("play").empty()) << refused << ": not played in a window of its own, nor heard";
        EXPECT_EQ(Events("close").size(), 1u) << refused;
        EXPECT_FALSE(panelShown) << refused;
        EXPECT_EQ(Count("Item 1 skipped: does not play: The specified command is not recognized by the device."), 1)
            << refused;
        const std::vector<int> shown = Shown();
        ASSERT_GE(shown.size(), 2u) << refused;
        EXPECT_EQ(shown[0], 0);
        EXPECT_EQ(shown[1], 2) << refused << ": the slideshow goes on";
    }
}

TEST_F(Video, MuteVideoSilencesOnlyTheMovieAndMuteOnlyTheMusic) {
    Put("music.wav", testing_support::SilentWav(5000));
    const Json music = {{"music", {{{"file", "music.wav"}}}}};
    const auto run = [&](const Json& header) {
        sim::Reset();
        Machine().tempPath = Temp();
        Run(Saver({"movie.avi"}, header, 2, music), {"/s"}, 1000);
    };
    const auto played = [](const std::string& player) {
        const auto& log = sim::M().mediaLog;
        return std::any_of(log.begin(), log.end(),
                           [&](const sim::MediaEvent& e) { return e.player == player && e.event == "play"; });
    };

    run({{"MuteVideo", true}});
    ASSERT_EQ(Events("volume").size(), 1u);
    EXPECT_EQ(Events("volume")[0].detail, "0");
    EXPECT_TRUE(played("SndPlay")) << "the music goes on";

    run({{"Mute", true}});
    EXPECT_TRUE(Events("volume").empty()) << "Mute sounds leaves the movie's sound alone";
    EXPECT_TRUE(played("MPlay"));
    EXPECT_FALSE(played("SndPlay"));
}

TEST_F(Video, OnlyTheVideoExtensionsPlayAsMovies) {
    for (const char* ext : {".mpeg", ".mpg", ".m4v", ".mkv"}) {
        Machine().mediaFiles[ext] = {1500, {160, 120}};
    }
    for (const char* name : {"clip.mpeg", "clip.MpG", "clip.M4v", "clip.mkv"}) {
        Put(name, testing_support::Pattern(300, 5));
    }
    Run(Saver({"clip.mpeg", "clip.MpG", "clip.M4v", "clip.mkv", "a.bmp"}), {"/s"}, 6000);
    EXPECT_EQ(Events("play").size(), 3u);
    EXPECT_EQ(Count("Item 3 skipped: cannot be decoded: not a picture format"), 1)
        << "a kind the media services might play is still no video item";
}

TEST_F(Video, AnMp4ItemPlaysMutedToItsEndThenTheNextItemComes) {
    Run(Saver({"a.bmp", "movie.mp4", "b.bmp"}, {{"MuteVideo", true}}, 3), {"/s"}, 4500);
    const auto plays = Events("play");
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_TRUE(plays[0].file.ends_with(".MP4")) << plays[0].file;
    const auto ends = Events("notice");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].time - plays[0].time, 3000u) << "the length in the movie's header";
    ASSERT_EQ(Events("volume").size(), 1u);
    EXPECT_EQ(Events("volume")[0].detail, "0");
    const auto rects = Events("rect");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].detail, "0,0,321,241") << "the natural size from the header, placed by the size mode";
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Count("Video ended"), 1);
    EXPECT_FALSE(std::filesystem::exists(plays[0].file));
}

TEST_F(Video, ALoneMovLoops) {
    Run(Saver({"movie.mov"}, {}, 1), {"/s"}, 2500);
    const auto plays = Events("play");
    ASSERT_EQ(plays.size(), 3u);
    for (std::size_t i = 0; i < plays.size(); ++i) {
        EXPECT_EQ(plays[i].time, 1000 * i);
        EXPECT_EQ(plays[i].detail, "0") << "each play starts from the beginning";
    }
    EXPECT_EQ(Events("open").size(), 1u);
    EXPECT_EQ(Count("Video ended"), 0);
}

TEST_F(Video, WhenTheTimerComesBackDuringAMovieTheNextItemReplacesIt) {
    // Resume turns the timer on, as after a rejected password.
    bool panelAfter = true;
    Run(Saver({"movie.avi", "a.bmp"}, {}, 5), {"/s"}, 2500, [&](host::TSSWindow& w) {
        sim::At(500, [&] { w.Resume(); });
        sim::At(2000, [&] { panelAfter = w.PanelDisplay().Visible(); });
    });
    const auto closes = Events("close");
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].time, 1500u) << "the item's interval after the resume";
    EXPECT_FALSE(panelAfter);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(std::filesystem::exists(closes[0].file));
}

TEST_F(Video, EndingTheSaverClosesTheMovieAndDeletesItsFile) {
    Key(1500, plat::VK_ESCAPE);
    Run(Saver({"movie.avi", "a.bmp"}, {}, 5), {"/s"}, 5000);
    const auto closes = Events("close");
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].time, 1500u);
    EXPECT_FALSE(std::filesystem::exists(closes[0].file));
    EXPECT_TRUE(Events("notice").empty()) << "the stopped play raises no handler";
}

}  // namespace
