// Whole runs on the simulated machine in explored order: for many seeds, the orders that real timing
// can give the item timer, the transition worker's hand-overs, the GIF timer, input and closing,
// with what must hold in every one of them. A failing seed is named; SAVER_SEED=n replays it alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/Flags.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "platform/sim/SimControls.h"
#include "platform/sim/SimWindow.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Json;
using testing_support::SaverRunTest;
using Kind = plat::ControlEvent::Kind;

constexpr std::uint64_t kSeeds = 40;
constexpr gfx::IntRect kMonitor{0, 0, 320, 240};
constexpr gfx::IntRect kSecondMonitor{320, 0, 640, 240};
const gfx::Color32 kColours[] = {0xFFE03030, 0xFF30C040, 0xFF3050E0, 0xFFE0C030};

// 100 x 80 in three colours, a frame every 50 ms, looping.
testing_support::Bytes AnimatedGif() {
    return testing_support::EncodeGif(
        testing_support::SolidFramesGif(100, 80, {0xFFE03030, 0xFF30E030, 0xFF3030E0}, 5));
}

class ExploredOrder : public SaverRunTest {
protected:
    ExploredOrder() {
        core::SetTraceSink([this](std::string_view text) {
            trace.emplace_back(text);
            closed_ = closed_ || text == "Form CLose";
        });
    }

    // Runs the scenario once for every seed (or for SAVER_SEED alone), each on a fresh machine in
    // explored order; the first seed that fails ends the loop.
    void ForEachSeed(const std::function<void(std::uint64_t)>& scenario, std::uint64_t seeds = kSeeds) {
        std::uint64_t first = 1;
        std::uint64_t last = seeds;
        if (const char* only = std::getenv("SAVER_SEED")) {
            first = last = std::strtoull(only, nullptr, 10);
        }
        for (std::uint64_t seed = first; seed <= last && !HasFailure(); ++seed) {
            SCOPED_TRACE("seed " + std::to_string(seed));
            sim::Reset();
            Machine().tempPath = Temp();
            Machine().monitors = {kMonitor};
            trace.clear();
            violations_.clear();
            seen_.clear();
            closed_ = false;
            input_.seed(seed);
            sim::ExploreOrders(seed);
            scenario(seed);
            EXPECT_EQ(violations_, std::vector<std::string>{});
            EXPECT_EQ(Machine().freedSurfaceUses, std::vector<std::string>{}) << "calls on a freed image control";
        }
    }

    // A time or a choice of the scenario's input, drawn from the seed.
    std::uint64_t Between(std::uint64_t low, std::uint64_t high) { return low + input_() % (high - low + 1); }

    // n items of 100 x 80, the one at gifAt (if any) an animated GIF, changing every second through
    // slow transitions of several families; with an exit banner.
    std::string Saver(int n, const Json& header = Json::object(), const std::string& name = "explored.scr",
                      int gifAt = 1) {
        Json items = Json::array();
        for (int i = 0; i < n; ++i) {
            const bool gif = i == gifAt;
            const std::string file = "item" + std::to_string(i) + (gif ? ".gif" : ".png");
            Put(file, gif ? AnimatedGif() : testing_support::EncodePng(gfx::TBitmap32(100, 80, kColours[i % 4])));
            items.push_back({{"file", file}});
        }
        Put("banner.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, 0xFF3366CC)));
        Json h = {{"Seconds", 1}, {"Stretch", 2}, {"EffectSpeed", 3}, {"ExitESC", true}};
        h.update(header);
        return Build({{"header", h},
                      {"strings", {{"SaverName", "Explored"}, {"Effect", {115, 5, 14, 71, 103}}}},
                      {"items", items},
                      {"exitBanner", {{"file", "banner.png"}}}},
                     testing_support::FakeRuntime(), name);
    }

    // What holds between any two steps of the slideshow, whatever the order, until the loop ends
    // and the window goes.
    void Watch(host::TSSWindow& w) {
        sim::SetStepObserver([this, &w] {
            if (plat::Terminated()) {
                return;
            }
            const core::ProcessFlags& f = core::Flags();
            // The thread that prepares the next item may run beside a transition.
            const int preparing = w.Preparer().Working();
            const int workers = sim::WorkersInBody() - preparing;
            Check(workers <= 1, "a transition started while another worker still ran");
            Check(preparing <= 1, "a second item was prepared while another still was");
            Check(workers == 0 || !w.Gif().GifTimer().Enabled(), "the GIF animated during a transition");
            Check(workers == 0 || f.TransCancel || f.TransAbort || !w.Timer().Enabled(),
                  "the item timer ran during a transition nobody stopped");
            Check(!closed_ || !w.Gif().GifTimer().Enabled(), "the GIF animated after the window closed");
        });
    }

    // A broken rule, once, with the time it was first seen.
    void Check(bool holds, const std::string& what) {
        if (!holds && seen_.insert(what).second) {
            violations_.push_back(what + " at " + std::to_string(sim::Now()) + " ms");
        }
    }

    // From `at` on, the first time `when` holds (looked at every 3 ms), or at `horizon` at the latest,
    // `what` runs `delay` ms later.
    static void WhenFirst(std::uint64_t at, const std::function<bool()>& when, const std::function<void()>& what,
                          std::uint64_t delay, std::uint64_t horizon) {
        sim::At(at, [=] {
            if (when() || sim::Now() >= horizon) {
                sim::At(sim::Now() + delay, what);
            } else {
                WhenFirst(sim::Now() + 3, when, what, delay, horizon);
            }
        });
    }

    static bool Busy() { return core::Flags().TransBusy; }

    // From `from` on, every 100 ms: the exit banner, when it shows, is closed by its glyph.
    static void CloseBannerWhenShown(std::uint64_t from) {
        for (std::uint64_t t = from; t < from + 20000; t += 100) {
            sim::At(t, [] {
                for (const sim::WindowRecord& r : sim::Windows()) {
                    if (r.caption == "Exit Banner" && r.visible) {
                        sim::Act(r.handle, {Kind::Click, "imgClose", 0});
                    }
                }
            });
        }
    }

    // The ways the window is closed without the input filter: the close box or Alt+F4, and the
    // application minimized (which starts a fresh saver in its place).
    static std::function<void()> CloseWindow(plat::WindowHandle window, bool minimize) {
        if (minimize) {
            return [] { sim::PostMessage({plat::ApplicationHandle(), plat::WM_SYSCOMMAND, plat::SC_MINIMIZE, 0}); };
        }
        return [window] { sim::PostMessage({window, plat::WM_CLOSE, 0, 0}); };
    }

    std::size_t Index(const std::string& line) const {
        return static_cast<std::size_t>(std::find(trace.begin(), trace.end(), line) - trace.begin());
    }

    // The run ended, closed once, and the exit banner, if it came, came once and after the close.
    void ExpectEnded(int code) {
        EXPECT_EQ(code, 0) << "the run ends";
        EXPECT_EQ(Count("Form CLose"), 1);
        EXPECT_LE(Count("Displaying exit banner"), 1);
        if (Traced("Displaying exit banner")) {
            EXPECT_LT(Index("Form CLose"), Index("Displaying exit banner")) << "the banner only when the saver ends";
        }
    }

    std::vector<std::string> violations_;
    std::set<std::string> seen_;
    bool closed_ = false;
    std::mt19937_64 input_;
};

TEST_F(ExploredOrder, ASlideshowEndedByEscOrAMouseMoveDuringATransition) {
    ForEachSeed([&](std::uint64_t seed) {
        const std::string saver = Saver(4, {{"ExitMouseMove", true}});
        const bool byKey = seed % 2 == 0;
        const std::uint64_t from = Between(900, 5000);
        const std::uint64_t delay = Between(0, 300);
        const int code = Run(saver, {"/s"}, 30000, [&](host::TSSWindow& w) {
            Watch(w);
            CloseBannerWhenShown(from);
            WhenFirst(from, Busy, [byKey] {
                if (byKey) {
                    sim::PostMessage({0, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0});
                } else {
                    sim::M().cursor.x += 10;
                    sim::PostMessage({0, plat::WM_MOUSEMOVE, 0, 0});
                }
            }, delay, from + 5000);
        });
        ExpectEnded(code);
    });
}

TEST_F(ExploredOrder, APresentationSteeredDuringItsTransitionsThenClosedEveryWay) {
    const char* const buttons[] = {"btnNext", "btnBack", "btnPause", "btnPlay"};
    ForEachSeed([&](std::uint64_t seed) {
        const std::string show = Saver(4, Json::object(), "show.exe");
        plat::WindowHandle window = 0;
        const std::uint64_t end = Between(6000, 7000);
        const int code = Run(show, {}, 30000, [&](host::TSSWindow& w) {
            Watch(w);
            window = w.Window().Handle();
            // The pointer rests on the panel, which stays up for the buttons.
            sim::At(500, [] {
                sim::M().cursor = {160, 200};
                sim::PostMessage({0, plat::WM_MOUSEMOVE, 0, 0});
            });
            for (int i = 0; i < 8; ++i) {
                const std::string button = buttons[Between(0, 3)];
                WhenFirst(Between(900, 6000), Busy, [window, button] { sim::Act(window, {Kind::Click, button, 0}); },
                          Between(0, 200), 6000);
            }
            std::function<void()> close;
            switch (seed % 3) {
                case 0:
                    close = [window] { sim::Act(window, {Kind::Click, "btnClose", 0}); };
                    break;
                case 1:
                    close = CloseWindow(window, false);
                    break;
                default:
                    close = CloseWindow(window, true);
                    break;
            }
            // Play first, so that a paused show has transitions again.
            sim::At(end - 100, [window] { sim::Act(window, {Kind::Click, "btnPlay", 0}); });
            WhenFirst(end, Busy, close, Between(0, 300), end + 3000);
            CloseBannerWhenShown(end);
        });
        ExpectEnded(code);
    });
}

TEST_F(ExploredOrder, AnAnimatedGifStopsWhenTheWindowClosesBeforeTheExitBanner) {
    ForEachSeed([&](std::uint64_t seed) {
        const std::string saver = Saver(2, {{"Seconds", 3}}, "explored.scr", 0);
        const std::uint64_t at = Between(200, 2500);
        const int code = Run(saver, {"/s"}, 30000, [&](host::TSSWindow& w) {
            Watch(w);
            sim::At(at, CloseWindow(w.Window().Handle(), seed % 2 == 0));
            CloseBannerWhenShown(at + Between(150, 400));
        });
        ExpectEnded(code);
        EXPECT_TRUE(Traced("Displaying exit banner"));
    });
}

TEST_F(ExploredOrder, TwoMonitorsClosedDuringATransitionOnTheSecond) {
    ForEachSeed([&](std::uint64_t seed) {
        Machine().monitors = {kMonitor, kSecondMonitor};
        const std::string saver = Saver(4, Json::object(), "explored.scr", -1);
        const std::uint64_t from = Between(900, 4000);
        const int code = Run(saver, {"/s"}, 30000, [&](host::TSSWindow& w) {
            Watch(w);
            show::TItemLoader* loader = w.Loader();
            WhenFirst(from, [loader] { return Busy() && !loader->AlternateTarget; },
                      CloseWindow(w.Window().Handle(), seed % 2 == 0), Between(0, 200), from + 5000);
            CloseBannerWhenShown(from);
        });
        ExpectEnded(code);
        EXPECT_TRUE(Traced("Monitor 2: 320,0 320x240"));
    });
}

TEST_F(ExploredOrder, AMonitorGoesAwayWhileItsItemComesOrAnimates) {
    constexpr gfx::IntRect kLeftMonitor{-240, 0, 0, 320};
    ForEachSeed([&](std::uint64_t) {
        Machine().monitors = {kMonitor, kLeftMonitor, kSecondMonitor};
        // Item 1, an animated GIF, goes to the left monitor.
        const std::string saver = Saver(4, Json::object(), "explored.scr", 1);
        const std::uint64_t from = Between(900, 2500);
        const std::uint64_t end = from + Between(3000, 5000);
        const int code = Run(saver, {"/s"}, 30000, [&](host::TSSWindow& w) {
            Watch(w);
            show::TItemLoader* loader = w.Loader();
            WhenFirst(from, [loader] { return loader->TargetScreen == 1; },
                      [] { sim::ChangeMonitors({kMonitor, kSecondMonitor}); }, Between(0, 300), from + 5000);
            sim::At(end, [] { sim::PostMessage({0, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0}); });
            CloseBannerWhenShown(end);
        });
        ExpectEnded(code);
        EXPECT_TRUE(Traced("Monitor 2 gone"));
        const auto gone = Index("Monitor 2 gone");
        EXPECT_NE(std::find_if(trace.begin() + static_cast<std::ptrdiff_t>(gone), trace.end(),
                               [](const std::string& t) { return t.ends_with(" shown"); }),
                  trace.end())
            << "the slideshow goes on";
    });
}

// A monitor plugged in while a transition runs, an animated GIF plays or the next item is prepared,
// and unplugged again later.
TEST_F(ExploredOrder, AMonitorComesWhileItemsComeAndGoesAgain) {
    ForEachSeed([&](std::uint64_t) {
        Machine().monitors = {kMonitor};
        const std::string saver = Saver(4, Json::object(), "explored.scr", 1);
        const std::uint64_t from = Between(300, 2500);
        const std::uint64_t stays = Between(500, 3000);
        const std::uint64_t end = from + 5000 + stays + Between(500, 2000);
        const int code = Run(saver, {"/s"}, 30000, [&](host::TSSWindow& w) {
            Watch(w);
            WhenFirst(
                from, Busy,
                [stays] {
                    sim::ChangeMonitors({kMonitor, kSecondMonitor});
                    sim::At(sim::Now() + stays, [] { sim::ChangeMonitors({kMonitor}); });
                },
                Between(0, 300), from + 5000);
            sim::At(end, [] { sim::PostMessage({0, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0}); });
            CloseBannerWhenShown(end);
        });
        ExpectEnded(code);
        EXPECT_TRUE(Traced("Monitor 2: 320,0 320x240"));
        EXPECT_TRUE(Traced("Monitor 2 gone"));
    });
}

// Preparing the next item takes a while here, as a large photograph's decoding does: the tick, Next,
// Back and the end come while it runs, before its result is handed over, or after.
TEST_F(ExploredOrder, TheNextItemPreparedWhileTicksStepsAndTheEndCome) {
    const char* const buttons[] = {"btnNext", "btnBack", "btnPause", "btnPlay"};
    int prepared = 0;
    int metPreparation = 0;
    ForEachSeed([&](std::uint64_t seed) {
        show::TItemPreparer::SetStepHook([this] { plat::Sleep(static_cast<std::uint32_t>(Between(0, 700))); });
        const bool presentation = seed % 2 == 0;
        const std::string saver = Saver(4, Json::object(), presentation ? "show.exe" : "explored.scr", -1);
        const std::uint64_t end = Between(4000, 7000);
        const int code = Run(saver, presentation ? std::vector<std::string>{} : std::vector<std::string>{"/s"}, 30000,
                             [&](host::TSSWindow& w) {
            Watch(w);
            const plat::WindowHandle window = w.Window().Handle();
            auto preparing = [&w] { return w.Preparer().Running(); };
            if (presentation) {
                sim::At(500, [] {
                    sim::M().cursor = {160, 200};
                    sim::PostMessage({0, plat::WM_MOUSEMOVE, 0, 0});
                });
                for (int i = 0; i < 6; ++i) {
                    const std::string button = buttons[Between(0, 3)];
                    WhenFirst(Between(900, end - 500), preparing, [&, window, button] {
                        metPreparation += w.Preparer().Running() ? 1 : 0;
                        sim::Act(window, {Kind::Click, button, 0});
                    }, 0, end);
                }
                sim::At(end - 100, [window] { sim::Act(window, {Kind::Click, "btnPlay", 0}); });
            }
            WhenFirst(end, preparing, [&prepared, &w, this, window, presentation] {
                prepared += w.Loader()->PreparedShown;
                if (presentation) {
                    CloseWindow(window, Between(0, 1) == 0)();
                } else {
                    sim::PostMessage({0, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0});
                }
            }, 0, end + 3000);
            CloseBannerWhenShown(end);
        });
        show::TItemPreparer::SetStepHook({});
        ExpectEnded(code);
    });
    EXPECT_GT(prepared, 0) << "some items came prepared";
    EXPECT_GT(metPreparation, 0) << "some steps came while an item was being prepared";
}

TEST_F(ExploredOrder, TheEffectPreviewAcrossChangesOfThePanelsDpi) {
    ForEachSeed([&](std::uint64_t) {
        Put("a.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, 0xFF808080u)));
        const std::string saver =
            Build({{"header", {{"ExitESC", true}}}, {"strings", {{"SaverName", "Panel"}}}, {"items", {{{"file", "a.png"}}}}});
        const int code = Run(saver, {"/c"}, 8000, [&](host::TSSWindow& w) {
            sim::SetStepObserver([this] { Check(sim::WorkersInBody() <= 1, "a preview started while another ran"); });
            const plat::WindowHandle window = w.Window().Handle();
            for (int i = 0; i < 10; ++i) {
                const int effect = static_cast<int>(Between(0, 119));
                sim::At(Between(100, 3000), [window, effect] { sim::Act(window, {Kind::Select, "lbEffects", effect}); });
            }
            for (int i = 0; i < 4; ++i) {
                const int dpi = i % 2 == 0 ? 144 + 48 * static_cast<int>(Between(0, 1)) : 96;
                WhenFirst(Between(150, 3000), Busy, [window, dpi] { sim::MoveToDpi(window, dpi); }, Between(0, 150),
                          3200);
            }
            sim::At(4000, [] { sim::PostMessage({0, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0}); });
        });
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(Traced("Form CLose"));
    }, kSeeds / 2);  // the panel takes longest to make
}

TEST_F(ExploredOrder, ARejectedPasswordAfterEscDuringATransitionKeepsTheSaverRunning) {
    ForEachSeed([&](std::uint64_t) {
        Machine().registry.SetString("Control Panel\\Desktop", "ScreenSaveUsePassword", "1");
        Machine().libraries[Machine().systemFolder + "/PASSWORD.CPL"] = {false, true, false, false};
        const std::string saver = Saver(4);
        const std::uint64_t from = Between(900, 2500);
        std::size_t shownAtEsc = 0;
        const int code = Run(saver, {"/s"}, 8000, [&](host::TSSWindow& w) {
            Watch(w);
            CloseBannerWhenShown(from);
            WhenFirst(from, Busy, [&] {
                shownAtEsc = Shown().size();
                sim::PostMessage({0, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0});
            }, Between(0, 300), from + 2000);
        });
        EXPECT_EQ(code, -1) << "still running";
        EXPECT_FALSE(Traced("Form CLose"));
        EXPECT_FALSE(Traced("Displaying exit banner"));
        EXPECT_EQ(Machine().libraryCalls.size(), 1u) << "the ticks after do not ask for the password again";
        EXPECT_GT(Shown().size(), shownAtEsc) << "the slideshow goes on";
    }, kSeeds * 3 / 4);
}

}  // namespace
