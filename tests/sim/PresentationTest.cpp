// A presentation (a copy named ".exe") on the simulated machine: its panel's controls and place,
// when the panel comes and goes, and what its five actions, its access keys and clicks do to the
// slideshow.

#include <gtest/gtest.h>

#include "common/Flags.h"
#include "platform/sim/SimControls.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Json;
using testing_support::SaverRunTest;
using Kind = plat::ControlEvent::Kind;

// At 96 pixels an inch on 1024 x 768: centred, 20 pixels above the bottom.
constexpr gfx::IntRect kPanel = gfx::IntRect::FromSize(415, 707, 193, 41);

class Presentation : public SaverRunTest {
protected:
    // A presentation of n solid pictures, sequential, without transitions unless effects are given.
    std::string Show(int n, const Json& header = Json::object(), const Json& effects = Json::array()) {
        Json items = Json::array();
        for (int i = 0; i < n; ++i) {
            const std::string name = "item" + std::to_string(i) + ".png";
            Put(name, testing_support::EncodePng(gfx::TBitmap32(64, 48, 0xFF102030u + 0x301000u * i)));
            items.push_back({{"file", name}});
        }
        Json h = {{"Seconds", 60}, {"Stretch", 2}, {"ExitESC", true}};
        h.update(header);
        return Build({{"header", h}, {"strings", {{"SaverName", "Show"}, {"Effect", effects}}}, {"items", items}},
                     testing_support::FakeRuntime(), "show.exe");
    }

    // Runs the presentation with the script given the main window once it exists.
    int RunShow(const std::string& show, std::uint64_t limit, const std::function<void(host::TSSWindow&)>& script) {
        return Run(show, {}, limit, [&](host::TSSWindow& w) {
            window_ = w.Window().Handle();
            script(w);
        });
    }

    // A user's click on one of the panel's buttons.
    void Press(std::uint64_t at, const std::string& button) {
        sim::At(at, [this, button] { sim::Act(window_, {Kind::Click, button, 0}); });
    }
    // The pointer put somewhere, as a move of the mouse.
    static void PointAt(std::uint64_t at, gfx::IntPoint p) {
        sim::At(at, [p] {
            sim::M().cursor = p;
            sim::PostMessage({0, plat::WM_MOUSEMOVE, 0, 0});
        });
    }
    static void LeftClick(std::uint64_t at, gfx::IntPoint p) {
        sim::At(at, [p] {
            sim::M().cursor = p;
            sim::PostMessage({0, plat::WM_LBUTTONDOWN, 0, 0});
        });
    }
    std::optional<plat::Control> Shown(const std::string& name) const { return sim::ShownControl(window_, name); }
    using SaverRunTest::Shown;

    plat::WindowHandle window_ = 0;
};

TEST_F(Presentation, ThePanelIsARealChildHiddenAtTheBottomOfTheScreenAndScalesWithTheDpi) {
    RunShow(Show(2), 50, [&](host::TSSWindow& w) {
        const auto panel = Shown("PresPanel");
        ASSERT_TRUE(panel);
        EXPECT_FALSE(panel->visible);
        EXPECT_TRUE(panel->raised);
        EXPECT_EQ(sim::ShownBounds(window_, "PresPanel"), kPanel);
        EXPECT_EQ(w.Presentation().PanelRect(), kPanel);
        struct Button {
            const char* name;
            const char* caption;
            const char* hint;
            const char* glyph;
            bool enabled;
        };
        int x = kPanel.left + 3;
        for (const Button& b : {Button{"btnPlay", "&Play", "Play", "play", false},
                                {"btnPause", "P&ause", "Pause", "pause", true},
                                {"btnBack", "&Back", "Back", "back", true}, {"btnNext", "&Next", "Next", "next", true},
                                {"btnClose", "&Close", "Close", "close", true}}) {
            const auto c = Shown(b.name);
            ASSERT_TRUE(c) << b.name;
            EXPECT_EQ(c->parent, "PresPanel");
            EXPECT_EQ(c->caption, b.caption);
            EXPECT_EQ(c->hint, b.hint);
            EXPECT_EQ(c->glyph, b.glyph);
            EXPECT_EQ(c->glyphSize, 28);
            EXPECT_EQ(c->enabled, b.enabled) << b.name;
            const gfx::IntRect r = sim::ShownBounds(window_, b.name);
            EXPECT_EQ(r, gfx::IntRect::FromSize(x, kPanel.top + 3, 35, 35)) << b.name;
            x += 38;
        }
    });

    sim::Reset();
    Machine().tempPath = Temp();
    Machine().dpi = 144;
    RunShow(Show(2), 50, [&](host::TSSWindow& w) {
        // 193 x 41 at 1.5 rounds to 290 x 62; the margin of 20 becomes 30.
        const gfx::IntRect scaled = gfx::IntRect::FromSize((1024 - 290) / 2, 768 - 62 - 30, 290, 62);
        EXPECT_EQ(w.Presentation().PanelRect(), scaled);
        EXPECT_EQ(sim::ShownBounds(window_, "PresPanel"), scaled);
        EXPECT_EQ(sim::ShownBounds(window_, "btnClose"), gfx::IntRect::FromSize(scaled.left + 233, scaled.top + 5, 53, 53));
    });
}

TEST_F(Presentation, AMoveOfMoreThanFivePixelsBringsThePanelUpWithThePointerForFiveSeconds) {
    MoveCursor(500, 5, -5);
    MoveCursor(1000, 1, 0);  // now 6 pixels from where the window was shown
    MoveCursor(4000, 0, 6);  // a later movement counts the five seconds afresh
    std::vector<std::pair<bool, int>> seen;  // panel shown, the show-cursor count
    RunShow(Show(2), 10000, [&](host::TSSWindow& w) {
        for (const std::uint64_t t : {600, 1100, 6500, 9100}) {
            sim::At(t, [&] { seen.emplace_back(w.Presentation().PresPanel.visible, Machine().showCursorCount); });
        }
    });
    EXPECT_EQ(seen, (std::vector<std::pair<bool, int>>{{false, -1}, {true, 0}, {true, 0}, {false, -1}}));
}

TEST_F(Presentation, ThePanelStaysUpWhileThePointerRestsOnIt) {
    PointAt(500, {512, kPanel.top});
    PointAt(6000, {512, kPanel.top - 5});  // off the panel, but no movement from where it came up
    std::vector<bool> shown;
    RunShow(Show(2), 30000, [&](host::TSSWindow& w) {
        for (const std::uint64_t t : {5600, 29000}) {
            sim::At(t, [&] { shown.push_back(w.Presentation().PresPanel.visible); });
        }
    });
    EXPECT_EQ(shown, (std::vector<bool>{true, true}));
}

TEST_F(Presentation, AClickOutsideThePanelShowsTheNextItemAndOneOnItDoesNot) {
    LeftClick(1000, {100, 100});
    LeftClick(2000, {kPanel.left + 100, kPanel.top + 20});
    LeftClick(3000, {kPanel.left, kPanel.bottom});  // just below it
    RunShow(Show(3), 4000, [](host::TSSWindow&) {});
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Count("ActNext"), 2);
}

TEST_F(Presentation, BackLoadsTheItemBeforeInSequentialOrderAndMovesOnInTheOthers) {
    PointAt(100, {kPanel.left + 10, kPanel.top + 10});
    Press(1000, "btnNext");
    Press(2000, "btnBack");
    Press(3000, "btnBack");  // from item 0 to the last
    Press(4000, "btnNext");
    RunShow(Show(3), 4500, [](host::TSSWindow&) {});
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 0, 2, 0}));

    for (const int order : {1, 2}) {
        sim::Reset();
        Machine().tempPath = Temp();
        trace.clear();
        PointAt(100, {kPanel.left + 10, kPanel.top + 10});
        for (int i = 0; i < 6; ++i) {
            Press(1000 + 1000 * static_cast<std::uint64_t>(i), "btnBack");
        }
        RunShow(Show(4, {{"DisplayOrder", order}}), 7500, [](host::TSSWindow&) {});
        const std::vector<int> shown = Shown();
        ASSERT_EQ(shown.size(), 7u) << order;
        for (std::size_t i = 1; i < shown.size(); ++i) {
            EXPECT_NE(shown[i], shown[i - 1]) << "order " << order << ", load " << i;
        }
    }
}

TEST_F(Presentation, PauseEndsATransitionAtOnceAndHoldsTheShowUntilPlayNextOrBack) {
    PointAt(900, {kPanel.left + 10, kPanel.top + 10});
    Press(1100, "btnPause");  // the first tick at 1000 started a slow crossfade
    Press(5000, "btnNext");   // one item, with its transition, and the show holds again
    Press(12000, "btnPlay");
    std::vector<bool> busy;
    std::vector<std::size_t> loads;
    std::vector<std::pair<bool, bool>> playPause;
    RunShow(Show(3, {{"Seconds", 1}, {"EffectSpeed", 1}}, {115}), 15000, [&](host::TSSWindow&) {
        for (const std::uint64_t t : {1050, 1200}) {
            sim::At(t, [&] { busy.push_back(core::Flags().TransBusy); });
        }
        for (const std::uint64_t t : {4900, 11900, 12002}) {
            sim::At(t, [&] { loads.push_back(Shown().size()); });
        }
        sim::At(1200, [&] { playPause.emplace_back(Shown("btnPlay")->enabled, Shown("btnPause")->enabled); });
        sim::At(12001, [&] { playPause.emplace_back(Shown("btnPlay")->enabled, Shown("btnPause")->enabled); });
    });
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(loads, (std::vector<std::size_t>{2, 3, 4})) << "Play loads the next item at once";
    EXPECT_EQ(playPause, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
    const std::vector<int> shown = Shown();
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 4), (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(Presentation, TheAccessKeysRunTheActionsWhileThePanelShows) {
    Key(500, 'n', plat::WM_SYSCHAR);  // the panel is down: nothing
    PointAt(1000, {100, 100});
    Key(1500, 'n', plat::WM_SYSCHAR);
    Key(2000, 'p', plat::WM_CHAR);  // "&Play" is disabled while the show plays
    Key(2500, 'A', plat::WM_CHAR);  // "P&ause"
    Key(3000, 'p', plat::WM_SYSCHAR);
    Key(4000, 'c', plat::WM_SYSCHAR);
    const int code = RunShow(Show(3), 6000, [](host::TSSWindow&) {});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Count("ActPause"), 1);
    EXPECT_EQ(Count("ActPlay"), 1);
    EXPECT_TRUE(Traced("ActClose"));
}

TEST_F(Presentation, CloseTakesTheNormalClosingPath) {
    PointAt(500, {100, 100});
    Press(1000, "btnClose");
    const int code = RunShow(Show(2), 5000, [](host::TSSWindow&) {});
    EXPECT_EQ(code, 0);
    EXPECT_LE(sim::Now(), 1001u);
    for (const char* step : {"ActClose", "Form CLose", "Screensaver freed", "Form Destroy"}) {
        EXPECT_TRUE(Traced(step)) << step;
    }
    EXPECT_EQ(Machine().showCursorCount, 1) << "hidden at start, shown with the panel and left shown at the end";
}

}  // namespace
