// Slideshows over several monitors of different sizes: a window over each, items round the
// monitors in the system's order, each composed for its own monitor, and a monitor that goes away.

#include <gtest/gtest.h>

#include <set>

#include "platform/sim/SimSurface.h"
#include "platform/sim/SimWindow.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Json;

const gfx::Color32 kColours[] = {0xFFE03030, 0xFF30C040, 0xFF3050E0, 0xFFE0C030};
constexpr gfx::Color32 kBackground = 0xFF302010;  // "#302010"
constexpr gfx::Color32 kLogo = 0xFFFFFFFF;
constexpr gfx::Color32 kBlink[] = {0xFFF0F000, 0xFF00F0F0};

// The primary, a portrait monitor left of it and above its top, and a wide one to its right.
constexpr gfx::IntRect kMain{0, 0, 320, 240};
constexpr gfx::IntRect kPortrait{-180, -40, 0, 280};
constexpr gfx::IntRect kWide{320, 0, 800, 270};

// Where a 100 x 80 picture resized to fit lies on each: its height from the width on the portrait
// monitor, its width from the height on the others.
constexpr gfx::IntRect kOnMain{10, 0, 310, 240};
constexpr gfx::IntRect kOnPortrait{0, 88, 180, 232};
constexpr gfx::IntRect kOnWide{72, 0, 408, 270};

class Monitors : public testing_support::SaverRunTest {
protected:
    Monitors() { Machine().monitors = {kMain, kPortrait, kWide}; }

    // n solid 100 x 80 pictures resized to fit, with a 20 x 10 white logo 10 pixels from the
    // bottom-right corner, a four-frame crossfade every second. The one at gifAt, if any, is an
    // animated GIF of the same size, kBlink's colours a tenth of a second each.
    std::string Saver(int n, const Json& header = Json::object(), int gifAt = -1) {
        Json items = Json::array();
        for (int i = 0; i < n; ++i) {
            const bool gif = i == gifAt;
            const std::string name = "item" + std::to_string(i) + (gif ? ".gif" : ".png");
            Put(name, gif ? testing_support::EncodeGif(testing_support::SolidFramesGif(100, 80, {kBlink[0], kBlink[1]}, 10))
                          : testing_support::EncodePng(gfx::TBitmap32(100, 80, kColours[i % 4])));
            items.push_back({{"file", name}});
        }
        Put("logo.png", testing_support::EncodePng(gfx::TBitmap32(20, 10, kLogo)));
        Json h = {{"Seconds", 1}, {"Stretch", 0}, {"EffectSpeed", 10}, {"BackgroundColor", "#302010"},
                  {"BackgroundColor2", "#302010"}, {"LogoPosition", 4}, {"LogoOffsetX", 10},
                  {"LogoOffsetY", 10}, {"ExitESC", true}};
        h.update(header);
        return Build({{"header", h},
                      {"strings", {{"SaverName", "Monitors"}, {"Effect", {115}}}},
                      {"items", items},
                      {"logo", {{"file", "logo.png"}}}});
    }

    // The picture fills `place` in `colour`, the background lies around it, and the logo sits 10
    // pixels from the bottom-right corner of a canvas of this monitor's size.
    static void ExpectLaidOut(const gfx::TBitmap32& canvas, const gfx::IntRect& monitor, const gfx::IntRect& place,
                              gfx::Color32 colour, const std::string& what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(canvas.BoundsRect().Size(), monitor.Size());
        EXPECT_EQ(canvas.Pixel(place.left, place.top), colour);
        EXPECT_EQ(canvas.Pixel(place.right - 1, place.top), colour);
        EXPECT_EQ(canvas.Pixel(place.left, place.bottom - 1), colour);
        if (place.left > 0) {
            EXPECT_EQ(canvas.Pixel(place.left - 1, place.top), kBackground);
            EXPECT_EQ(canvas.Pixel(place.right, place.top), kBackground);
        } else {
            EXPECT_EQ(canvas.Pixel(place.left, place.top - 1), kBackground);
            EXPECT_EQ(canvas.Pixel(place.left, place.bottom), kBackground);
        }
        const gfx::IntPoint logo{monitor.Width() - 30, monitor.Height() - 20};
        EXPECT_EQ(canvas.Pixel(logo.x, logo.y), kLogo);
        EXPECT_EQ(canvas.Pixel(logo.x + 19, logo.y + 9), kLogo);
        EXPECT_NE(canvas.Pixel(logo.x + 20, logo.y + 10), kLogo);
    }

    static const sim::WindowRecord* WindowOver(const gfx::IntRect& monitor) {
        for (const sim::WindowRecord& r : sim::Windows()) {
            if (r.bounds == monitor && r.visible && r.border == plat::BorderStyle::None) {
                return sim::FindWindow(r.handle);
            }
        }
        return nullptr;
    }

    static gfx::TBitmap32 Canvas(plat::Surface* surface) { return sim::AsSim(*surface).Canvas(); }
};

TEST_F(Monitors, ThreeUnequalMonitorsTakeTheItemsInTurnEachLaidOutForItsOwnSize) {
    std::vector<gfx::TBitmap32> first;
    gfx::TBitmap32 portrait;
    gfx::TBitmap32 wide;
    gfx::TBitmap32 main;
    Run(Saver(4), {"/s"}, 3950, [&](host::TSSWindow& w) {
        sim::At(500, [&] {
            first = {Canvas(&w.Image32()), Canvas(w.MonitorImages().at(0)), Canvas(w.MonitorImages().at(1))};
            EXPECT_NE(WindowOver(kPortrait), nullptr) << "a borderless window over the portrait monitor";
            EXPECT_NE(WindowOver(kWide), nullptr);
        });
        sim::At(1900, [&] { portrait = Canvas(w.MonitorImages().at(0)); });
        sim::At(2900, [&] { wide = Canvas(w.MonitorImages().at(1)); });
        sim::At(3900, [&] { main = Canvas(&w.Image32()); });
    });
    EXPECT_TRUE(Traced("Monitor 2: -180,-40 180x320"));
    EXPECT_TRUE(Traced("Monitor 3: 320,0 480x270"));
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Count("Effect 115"), 3);
    ASSERT_EQ(first.size(), 3u);
    ExpectLaidOut(first[0], kMain, kOnMain, kColours[0], "the first item on the main monitor");
    ExpectLaidOut(first[1], kPortrait, kOnPortrait, kColours[0], "and at once on the portrait monitor");
    ExpectLaidOut(first[2], kWide, kOnWide, kColours[0], "and on the wide one");
    ExpectLaidOut(portrait, kPortrait, kOnPortrait, kColours[1], "the second item on the portrait monitor");
    ExpectLaidOut(wide, kWide, kOnWide, kColours[2], "the third on the wide one");
    ExpectLaidOut(main, kMain, kOnMain, kColours[3], "the fourth on the main monitor again");
}

TEST_F(Monitors, AnAnimatedGifPlaysOnTheMonitorItGoesToLaidOutForIt) {
    std::set<gfx::Color32> inPlace;
    std::set<gfx::Color32> outside;
    std::set<gfx::Color32> onMain;
    Run(Saver(3, Json::object(), 1), {"/s"}, 1990, [&](host::TSSWindow& w) {
        for (std::uint64_t t = 1500; t < 1990; t += 30) {
            sim::At(t, [&] {
                const gfx::TBitmap32 portrait = Canvas(w.MonitorImages().at(0));
                inPlace.insert(portrait.Pixel(kOnPortrait.left, kOnPortrait.top));
                inPlace.insert(portrait.Pixel(kOnPortrait.right - 1, kOnPortrait.bottom - 1));
                outside.insert(portrait.Pixel(kOnPortrait.left, kOnPortrait.top - 1));
                onMain.insert(Canvas(&w.Image32()).Pixel(160, 120));
            });
        }
    });
    EXPECT_EQ(inPlace, (std::set<gfx::Color32>{kBlink[0], kBlink[1]})) << "both frames, filling the fitted place";
    EXPECT_EQ(outside, std::set<gfx::Color32>{kBackground});
    EXPECT_EQ(onMain, std::set<gfx::Color32>{kColours[0]}) << "the main monitor keeps its item";
}

TEST_F(Monitors, DisableTwoMonitorsLeavesEveryOtherMonitorAsTheDesktopShowsIt) {
    bool inUse = true;
    Run(Saver(3, {{"DisableTwoMonitors", true}}), {"/s"}, 2500, [&](host::TSSWindow& w) {
        sim::At(2400, [&] {
            inUse = w.SecondMonitorInUse();
            EXPECT_EQ(WindowOver(kPortrait), nullptr);
            EXPECT_EQ(WindowOver(kWide), nullptr);
        });
    });
    EXPECT_FALSE(inUse);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2})) << "every item on the main monitor";
}

TEST_F(Monitors, AMonitorThatGoesAwayLosesItsWindowAndItsTurn) {
    gfx::TBitmap32 wide;
    gfx::TBitmap32 main;
    std::size_t left = 0;
    Run(Saver(4), {"/s"}, 4950, [&](host::TSSWindow& w) {
        // The portrait monitor goes while it shows the second item.
        sim::At(1500, [] { sim::ChangeMonitors({kMain, kWide}); });
        sim::At(1600, [&] {
            left = w.MonitorImages().size();
            EXPECT_EQ(WindowOver(kPortrait), nullptr);
            EXPECT_NE(WindowOver(kWide), nullptr);
        });
        sim::At(2900, [&] { wide = Canvas(w.MonitorImages().at(0)); });
        sim::At(3900, [&] { main = Canvas(&w.Image32()); });
    });
    EXPECT_TRUE(Traced("Monitor 2 gone"));
    EXPECT_EQ(left, 1u);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 3, 0}));
    ExpectLaidOut(wide, kWide, kOnWide, kColours[2], "the third item on the monitor after the one that went");
    ExpectLaidOut(main, kMain, kOnMain, kColours[3], "then the main monitor");
    EXPECT_EQ(Machine().freedSurfaceUses, std::vector<std::string>{});
}

TEST_F(Monitors, AMonitorThatComesGetsAWindowAndTheLastTurn) {
    Machine().monitors = {kMain};
    gfx::TBitmap32 wide;
    gfx::TBitmap32 main;
    std::size_t open = 0;
    Run(Saver(4), {"/s"}, 3950, [&](host::TSSWindow& w) {
        // The wide monitor is plugged in while the second item shows on the main one.
        sim::At(1500, [] { sim::ChangeMonitors({kMain, kWide}); });
        sim::At(1600, [&] {
            open = w.MonitorImages().size();
            EXPECT_NE(WindowOver(kWide), nullptr);
            // Until its first item it shows its own background.
            EXPECT_EQ(Canvas(w.MonitorImages().at(0)).Pixel(5, 5), kBackground);
        });
        sim::At(2900, [&] { wide = Canvas(w.MonitorImages().at(0)); });
        sim::At(3900, [&] { main = Canvas(&w.Image32()); });
    });
    EXPECT_TRUE(Traced("Monitor 2: 320,0 480x270"));
    EXPECT_EQ(open, 1u);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 3}));
    ExpectLaidOut(wide, kWide, kOnWide, kColours[2], "the third item on the monitor that came");
    ExpectLaidOut(main, kMain, kOnMain, kColours[3], "then the main monitor again");
    EXPECT_EQ(Machine().freedSurfaceUses, std::vector<std::string>{});
}

TEST_F(Monitors, NoMonitorIsTakenUpWhenTheSaverShowsOnlyOnTheMainOne) {
    Machine().monitors = {kMain};
    std::size_t open = 1;
    Run(Saver(2, {{"DisableTwoMonitors", true}}), {"/s"}, 2500, [&](host::TSSWindow& w) {
        sim::At(500, [] { sim::ChangeMonitors({kMain, kWide}); });
        sim::At(1000, [&] { open = w.MonitorImages().size(); });
    });
    EXPECT_EQ(open, 0u);
    EXPECT_EQ(WindowOver(kWide), nullptr);
}

}  // namespace
