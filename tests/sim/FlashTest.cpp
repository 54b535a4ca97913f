// Flash items on the simulated machine: where the movie's panel goes, when the item ends, and what a
// missing or misbehaving control does to the slideshow.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/sim/Sim.h"
#include "platform/sim/SimPanel.h"
#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/MediaEncoders.h"

namespace {

using testing_support::FlashMovieFields;
using testing_support::Json;
using testing_support::SaverRunTest;

constexpr gfx::Color32 kMovie = 0xFF336699;  // the movies' background colour
constexpr gfx::Color32 kBackground = 0xFF302010;

// A 550 x 400 movie of whole seconds at 25 frames a second.
FlashMovieFields Movie(int seconds, bool compressed = false) {
    return {550, 400, 25 * 256, static_cast<std::uint16_t>(25 * seconds), 0x336699, compressed};
}

class Flash : public SaverRunTest {
protected:
    Flash() { Machine().flashInstalled = true; }

    // A fresh machine for the next run of a test.
    void Fresh() {
        sim::Reset();
        Machine().tempPath = Temp();
        Machine().flashInstalled = true;
        trace.clear();
    }

    // Items by file name, or as their manifest entries.
    static Json Manifest(const Json& items, const Json& header = Json::object(), const Json& extra = Json::object()) {
        Json list = Json::array();
        for (const Json& item : items) {
            list.push_back(item.is_string() ? Json{{"file", item}} : item);
        }
        Json h = {{"ExitESC", true}, {"ExitMouseMove", false}, {"Seconds", 30}, {"Stretch", 2}, {"EffectSpeed", 10},
                  {"BackgroundColor", "#302010"}, {"BackgroundColor2", "#302010"}};
        h.update(header);
        Json manifest = {{"header", h}, {"strings", {{"SaverName", "Flash"}, {"Effect", {115}}}}, {"items", list}};
        manifest.update(extra);
        return manifest;
    }

    // The same, with the files made: "*.bmp" a still picture, any other name the movie.
    std::string Saver(const Json& items, const Json& header = Json::object(), const FlashMovieFields& movie = Movie(2),
                      const Json& extra = Json::object()) {
        for (const Json& item : items) {
            const std::string file = item.is_string() ? item.get<std::string>() : item["file"].get<std::string>();
            Put(file, file.ends_with(".bmp") ? testing_support::SolidBmp(40, 30, 200, 100, 50)
                                             : testing_support::FlashMovie(movie));
        }
        return Build(Manifest(items, header, extra));
    }

    static std::vector<sim::MediaEvent> Events(const std::string& event) { return SaverRunTest::Events("Flash", event); }

    static std::vector<std::uint64_t> Times(const std::string& event) {
        std::vector<std::uint64_t> times;
        for (const sim::MediaEvent& e : Events(event)) {
            times.push_back(e.time);
        }
        return times;
    }
};

TEST_F(Flash, A550By400MovieOn1024By768TakesThePanelOfItsSizeMode) {
    struct Case {
        int mode;
        bool compressed;
        gfx::IntRect panel;
    };
    // Mode 0: the fit of 551 x 401 is 1024 x 745 at top 11, then each side grows by 1; mode 2:
    // 551 x 401 centred; mode 1: the screen. A compressed movie's rectangle is read inflated.
    for (const Case& c : {Case{0, false, {0, 11, 1025, 757}}, Case{2, false, {237, 184, 788, 585}},
                          Case{1, false, {0, 0, 1024, 768}}, Case{2, true, {237, 184, 788, 585}}}) {
        Fresh();
        gfx::TBitmap32 screen;
        gfx::IntRect bounds;
        bool enabled = false;
        Run(Saver({"movie.swf"}, {{"Stretch", c.mode}}, Movie(2, c.compressed)), {"/s"}, 1000,
            [&](host::TSSWindow& w) {
                sim::At(500, [&] {
                    bounds = w.PanelDisplay().Bounds();
                    enabled = w.PanelDisplay().Enabled();
                    screen = sim::WithPanels(w.Window().Handle(), sim::AsSim(w.Image32()).Canvas());
                });
            });
        const std::string what = "mode " + std::to_string(c.mode) + (c.compressed ? " compressed" : "");
        EXPECT_EQ(bounds, c.panel) << what;
        EXPECT_TRUE(enabled) << "the movie takes the mouse unless a move ends the saver";
        const auto placed = Events("bounds");
        ASSERT_FALSE(placed.empty()) << what;
        EXPECT_EQ(placed.back().detail, "0,0," + std::to_string(c.panel.Width()) + "," +
                                            std::to_string(c.panel.Height()))
            << "the control fills its panel";
        const gfx::IntRect shown = c.panel.Intersect({0, 0, 1024, 768});
        EXPECT_EQ(screen.Pixel(shown.left, shown.top), kMovie) << what;
        EXPECT_EQ(screen.Pixel(shown.right - 1, shown.bottom - 1), kMovie) << what;
        if (shown.top > 0) {
            EXPECT_EQ(screen.Pixel(shown.left, shown.top - 1), kBackground) << what;
            EXPECT_EQ(screen.Pixel(shown.right - 1, shown.bottom), kBackground) << what;
        }
        if (shown.left > 0) {
            EXPECT_EQ(screen.Pixel(shown.left - 1, shown.top), kBackground) << what;
            EXPECT_EQ(screen.Pixel(shown.right, shown.bottom - 1), kBackground) << what;
        }
    }
}

TEST_F(Flash, WhenAMoveEndsTheSaverThePanelTakesNoMouseInput) {
    bool enabled = true;
    Run(Saver({"movie.swf"}, {{"ExitMouseMove", true}}), {"/s"}, 1000, [&](host::TSSWindow& w) {
        sim::At(500, [&] { enabled = w.PanelDisplay().Enabled(); });
    });
    EXPECT_FALSE(enabled);
    ASSERT_EQ(Events("menu").size(), 1u);
    EXPECT_EQ(Events("menu")[0].detail, "0") << "the player's own menu is never offered";
}

TEST_F(Flash, AMovieThatPlaysOnceHandsBackWithinAPollOfItsEnd) {
    bool panelAfter = true;
    Run(Saver({"movie.swf", "a.bmp"}), {"/s"}, 3000, [&](host::TSSWindow& w) {
        sim::At(2500, [&] { panelAfter = w.PanelDisplay().Visible(); });
    });
    const auto plays = Events("play");
    ASSERT_EQ(plays.size(), 1u);
    const auto stops = Events("stop");
    ASSERT_FALSE(stops.empty());
    EXPECT_GE(stops[0].time - plays[0].time, 2000u);
    EXPECT_LE(stops[0].time - plays[0].time, 2100u);
    EXPECT_EQ(Count("Flash movie ended"), 1);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(panelAfter);
    ASSERT_FALSE(Events("movie").empty());
    EXPECT_EQ(Events("movie").back().detail, "none");
    EXPECT_TRUE(std::filesystem::exists(plays[0].file)) << "the movie's file stays for the next of its kind";
}

TEST_F(Flash, AnItemsOwnTenSecondsEndASixtySecondMovie) {
    Run(Saver({Json{{"file", "movie.swf"}, {"duration", 10}}, "a.bmp"}, Json::object(), Movie(60)), {"/s"}, 11000);
    const auto plays = Events("play");
    const auto stops = Events("stop");
    ASSERT_EQ(plays.size(), 1u);
    ASSERT_FALSE(stops.empty());
    EXPECT_EQ(stops[0].time - plays[0].time, 10000u);
    EXPECT_EQ(Count("Flash movie ended"), 0);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
}

TEST_F(Flash, ALoneFlashItemIsReloadedEveryInterval) {
    // Its own 2 s, with a movie that never stops.
    Machine().mediaFiles[".swf"] = {0xFFFFFFFFu};
    Run(Saver(Json::array({Json{{"file", "movie.swf"}, {"duration", 2}}})), {"/s"}, 5000);
    EXPECT_EQ(Times("play"), (std::vector<std::uint64_t>{0, 2000, 4000}));
    EXPECT_EQ(Times("create"), (std::vector<std::uint64_t>{0, 2000, 4000})) << "a fresh control each time";

    // Without a time of its own: as soon as each pass of a 1 s movie has ended.
    Fresh();
    Run(Saver({"movie.swf"}, Json::object(), Movie(1)), {"/s"}, 2500);
    EXPECT_EQ(Times("play"), (std::vector<std::uint64_t>{0, 1001, 2002}));
}

TEST_F(Flash, AnItemMarkedNotToBePolledStaysADayAndAnyItemWithoutTimeGetsOne) {
    // Whether the poll runs while the 1 s movie plays, and the item's duration afterwards.
    const auto run = [&](int duration, std::uint64_t limit) {
        Fresh();
        bool polling = false;
        std::int32_t after = 0;
        Run(Saver({Json{{"file", "movie.swf"}, {"duration", duration}}, "a.bmp"}, {{"Seconds", 1}}, Movie(1)),
            {"/s"}, limit, [&](host::TSSWindow& w) {
                sim::At(500, [&] { polling = w.Flash()->FlashTimer().Enabled(); });
                sim::At(limit - 500, [&] { after = w.Package().items[0].ItemDuration; });
            });
        return std::pair{polling, after};
    };
    EXPECT_EQ(run(-2, 5000), std::pair(false, 86400));
    EXPECT_EQ(Shown(), std::vector<int>{0}) << "the movie ended at 1 s, the item stays";
    EXPECT_EQ(Count("Flash movie ended"), 0);

    EXPECT_EQ(run(-1, 2000), std::pair(true, 86400));
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
}

TEST_F(Flash, SwfAndFlaInAnyCaseAreMoviesAndLongerOrShorterExtensionsAreNot) {
    // The movies play to their end, so they are given a day each.
    Run(Saver({Json{{"file", "a.swf"}, {"duration", -1}}, Json{{"file", "b.FLA"}, {"duration", -1}}, "c.SWFX", "d.SW",
               "e.bmp"},
              {{"Seconds", 1}}, Movie(1)),
        {"/s"}, 4100);
    EXPECT_EQ(Events("play").size(), 2u);
    EXPECT_EQ(Count("Item 2 skipped: cannot be decoded: not a picture format"), 1);
    EXPECT_EQ(Count("Item 3 skipped: cannot be decoded: not a picture format"), 1);
    // The items that fail after a movie wait the usual second, not the movie's day.
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 4}));
}

TEST_F(Flash, AMovieOrAControlThatFailsIsSkippedAndTheSlideshowGoesOn) {
    struct Case {
        std::set<std::string> faults;
        std::string skipped;  // the trace of the failed load; empty when the movie shows
    };
    const std::vector<Case> cases = {
        {{"create"}, "Item 0 skipped: the control would not start"},
        {{"movie"}, "Item 0 skipped: the control failed movie"},
        {{"play"}, "Item 0 skipped: the control failed play"},
        {{"is playing"}, ""},
        {{"stop", "playing"}, ""},
    };
    for (const Case& c : cases) {
        Fresh();
        Machine().flashFaults = c.faults;
        bool panelAfter = true;
        Run(Saver({"movie.swf", "a.bmp"}, {{"Seconds", 1}}, Movie(1)), {"/s"}, 1500, [&](host::TSSWindow& w) {
            sim::At(1400, [&] { panelAfter = w.PanelDisplay().Visible(); });
        });
        const std::string what = *c.faults.begin();
        const std::vector<int> shown = Shown();
        if (!c.skipped.empty()) {
            EXPECT_EQ(Count(c.skipped), 1) << what;
            EXPECT_EQ(shown, std::vector<int>{1}) << what;
        } else {
            ASSERT_GE(shown.size(), 2u) << what;
            EXPECT_EQ(shown[1], 1) << what;
        }
        EXPECT_FALSE(panelAfter) << what;
        EXPECT_TRUE(Machine().messageBoxes.empty()) << what;
    }
    // A control that cannot say whether it plays is done at the first poll.
    Fresh();
    Machine().flashFaults = {"is playing"};
    Run(Saver({"movie.swf", "a.bmp"}), {"/s"}, 500);
    ASSERT_EQ(Events("play").size(), 1u);
    EXPECT_EQ(Events("is playing failed")[0].time, 100u);
    EXPECT_EQ(Events("stop")[0].time, 101u);

    // A file too short to hold the frame rectangle.
    Fresh();
    Put("a.bmp", testing_support::SolidBmp(40, 30, 200, 100, 50));
    Put("short.swf", testing_support::Pattern(24, 7));
    Run(Build(Manifest({"a.bmp", "short.swf", "a.bmp"}, {{"Seconds", 1}})), {"/s"}, 2500);
    EXPECT_EQ(Count("Item 1 skipped: the movie's frame size cannot be read"), 1);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 2}));
}

TEST_F(Flash, WithoutTheControlOrAPlayerInThePackageMoviesAreSkippedQuietly) {
    Machine().flashInstalled = false;
    Run(Saver({"movie.swf", "a.bmp", "b.bmp"}, {{"Seconds", 1}}), {"/s"}, 2500);
    EXPECT_EQ(Count("Item 0 skipped: Class not registered"), 1);
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(Machine().messageBoxes.empty());
    EXPECT_FALSE(Traced("Flash player missing"));
}

TEST_F(Flash, APackageCarryingThePlayerMakesAHiddenControlThatTheFirstMovieReplaces) {
    Put("flash.ocx", testing_support::Pattern(300, 9));
    Run(Saver({"movie.swf"}, Json::object(), Movie(2), {{"flashPlayer", {{"file", "flash.ocx"}}}}), {"/s"}, 500);
    EXPECT_EQ(Times("create"), (std::vector<std::uint64_t>{0, 0}));
    ASSERT_FALSE(Events("destroy").empty());
    EXPECT_EQ(Events("destroy")[0].time, 0u) << "the hidden control goes";
    EXPECT_EQ(Events("play").size(), 1u);
}

TEST_F(Flash, WithTheDesktopFirstTheMovieComesAtTheFirstTickAndEndingTheSaverStopsIt) {
    Key(1500, plat::VK_ESCAPE);
    Run(Saver({"movie.swf", "a.bmp"}, {{"DesktopStart", true}}), {"/s"}, 3000);
    EXPECT_EQ(Times("play"), std::vector<std::uint64_t>{1});
    const auto stops = Times("stop");
    ASSERT_FALSE(stops.empty());
    EXPECT_EQ(stops[0], 1500u);
    EXPECT_EQ(Times("destroy"), std::vector<std::uint64_t>{1500});
}

}  // namespace
