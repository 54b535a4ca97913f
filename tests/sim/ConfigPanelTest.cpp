// The configuration dialog on the simulated machine, operated through its controls as a user
// would: what the controls show, what the handlers do, what closing stores, the effect preview,
// the playlist editor and the about window.

#include <gtest/gtest.h>

#include "common/Flags.h"
#include "platform/sim/SimControls.h"
#include "platform/sim/SimSurface.h"
#include "platform/sim/SimWindow.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/MediaEncoders.h"
#include "transitions/SamplePictures.h"

namespace {

using plat::ControlEvent;
using testing_support::Json;
using testing_support::SaverRunTest;

const std::string kKey = "\\Software\\Tavolisk\\Panel Test";

class Panel : public SaverRunTest {
protected:
    std::string Saver(const Json& header = Json::object(), const Json& strings = Json::object()) {
        PutPicture();
        Put("t0.wav", testing_support::SilentWav(100));
        Put("t1.wav", testing_support::SilentWav(100));
        Json h = {{"ExitESC", true}, {"AllowCustomPlaylist", true}};
        if (header.is_object()) {
            h.update(header);
        }
        Json s = {{"SaverName", "Panel Test"}};
        if (strings.is_object()) {
            s.update(strings);
        }
        return Build({{"header", h}, {"strings", s}, {"items", {{{"file", "a.jpg"}}}},
                      {"music", {{{"file", "t0.wav"}}, {{"file", "t1.wav"}}}}});
    }

    void PutPicture() { Put("a.jpg", testing_support::Pattern(300, 1)); }

    // Runs /c; `script` is called once the dialog is up, with the window; Esc closes it at `end`.
    void RunPanel(const std::string& saver, const std::function<void(host::TSSWindow&)>& script,
                  std::uint64_t end = 3000) {
        Key(end, plat::VK_ESCAPE);
        Run(saver, {"/c"}, end + 2000, [&](host::TSSWindow& w) {
            window_ = &w;
            script(w);
        });
        window_ = nullptr;
    }

    // A user's action on the main dialog at a time.
    void At(std::uint64_t time, ControlEvent::Kind kind, const std::string& name, int value = 0) {
        sim::At(time, [this, kind, name, value] { sim::Act(window_->Window().Handle(), {kind, name, value}); });
    }
    void Click(std::uint64_t time, const std::string& name) { At(time, ControlEvent::Kind::Click, name); }

    plat::Control Shown(host::TSSWindow& w, const std::string& name) const {
        return sim::ShownControl(w.Window().Handle(), name).value_or(plat::Control{});
    }

    std::optional<sim::RegValue> Stored(const std::string& name) const { return sim::M().registry.Get(kKey, name); }

    host::TSSWindow* window_ = nullptr;
};

TEST_F(Panel, TheFramesHaveTheirPlacesAtEveryPixelsAnInch) {
    struct Case {
        int dpi;
        bool banner;
    };
    for (const Case c : {Case{96, false}, Case{96, true}, Case{144, false}, Case{192, true}}) {
        sim::Reset();
        Machine().tempPath = Temp();
        Machine().dpi = c.dpi;
        if (c.banner) {
            Put("banner.bmp", testing_support::SolidBmp(470, 62, 10, 20, 30));
        }
        PutPicture();
        Json manifest = {{"header", {{"ExitESC", true}}},
                         {"strings", {{"SaverName", "Panel Test"}}},
                         {"items", {{{"file", "a.jpg"}}}}};
        if (c.banner) {
            manifest["configBanner"] = {{"file", "banner.bmp"}};
        }
        const std::string saver = Build(manifest);
        const auto px = [&](int v) { return plat::ScaleToDpi(v, c.dpi); };
        const int top = c.banner ? 69 : 0;
        RunPanel(saver, [&](host::TSSWindow& w) {
            sim::At(10, [&, c] {
                const plat::WindowHandle h = w.Window().Handle();
                EXPECT_EQ(w.Window().ClientSize(), (gfx::IntSize{px(513), px(381 - 15 - (c.banner ? 0 : 69))}))
                    << c.dpi;
                EXPECT_EQ(sim::ShownBounds(h, "PageControl"),
                          gfx::IntRect::FromSize(px(10), px(top) + px(7), px(399), px(281)));
                for (const auto& [name, y] : {std::pair{"btnAbout", 28}, {"btnWebsite", 60}, {"btnClose", 263}}) {
                    EXPECT_EQ(sim::ShownBounds(h, name), gfx::IntRect::FromSize(px(418), px(top) + px(y), px(83), px(25)))
                        << name << " at " << c.dpi;
                }
                EXPECT_EQ(Shown(w, "BannerPlaceHolderPanel").visible, c.banner);
                if (c.banner) {
                    // The banner picture, as large as its frame, fills it at every scale.
                    ASSERT_NE(w.ImgBanner(), nullptr);
                    const gfx::TBitmap32& banner = sim::AsSim(*w.ImgBanner()).Canvas();
                    EXPECT_EQ(banner.Pixel(banner.Width() / 2, banner.Height() / 2), gfx::MakeColor32(10, 20, 30));
                }
                EXPECT_FALSE(Shown(w, "Link").visible);
                ASSERT_NE(w.ImgPreviewTrans(), nullptr);
                EXPECT_EQ(w.ImgPreviewTrans()->Bounds().Size(), (gfx::IntSize{px(119), px(95)}))
                    << "the preview's pictures scale too";
            });
        });
    }
}

TEST_F(Panel, MovedToAMonitorOfAnotherScaleThePanelScalesAgain) {
    gfx::IntSize client;
    gfx::IntRect close;
    gfx::IntSize preview;
    RunPanel(Saver(), [&](host::TSSWindow& w) {
        sim::At(100, [&] { sim::MoveToDpi(w.Window().Handle(), 192); });
        sim::At(200, [&] {
            client = w.Window().ClientSize();
            close = sim::ShownBounds(w.Window().Handle(), "btnClose");
            preview = w.ImgPreviewTrans()->Bounds().Size();
        });
    });
    EXPECT_EQ(client, (gfx::IntSize{1026, 594}));
    EXPECT_EQ(close, gfx::IntRect::FromSize(836, 526, 166, 50));
    EXPECT_EQ(preview, (gfx::IntSize{238, 190}));
}

TEST_F(Panel, CaptionsComeThroughTheTranslationOfTheirOwnSection) {
    RunPanel(Saver({}, {{"TranslationText", "Close=Outside\r\nScreen Saver\r\nClose=Schliessen\r\n"
                                            "General=Allgemein\r\n&Mute sounds=Two#13lines\r\nOther\r\nAbout=Nope"}}),
             [&](host::TSSWindow& w) {
                 sim::At(10, [&] {
                     EXPECT_EQ(Shown(w, "btnClose").caption, "Schliessen");
                     EXPECT_EQ(Shown(w, "tsGeneral").caption, "Allgemein");
                     EXPECT_EQ(Shown(w, "GroupBox10").caption, "Allgemein") << "the same key as the page";
                     EXPECT_EQ(Shown(w, "cbMute").caption, "Two\r\nlines");
                     EXPECT_EQ(Shown(w, "btnAbout").caption, "About...") << "only the section named Screen Saver";
                     EXPECT_EQ(Shown(w, "gbDualMonitor").caption, "Dual Monitor Support");
                     EXPECT_EQ(w.AboutWindow()->btnClose.caption, "Schliessen");
                 });
             });
}

TEST_F(Panel, ClicksChangeTheGroupsAndTheLastExitBoxStays) {
    RunPanel(Saver(), [&](host::TSSWindow& w) {
        Click(100, "rbSizeNone");
        Click(110, "rbPosRandom");
        sim::At(120, [&] { EXPECT_TRUE(Shown(w, "gbPosition").enabled); });
        Click(130, "rbSizeResize");
        sim::At(140, [&] {
            EXPECT_FALSE(Shown(w, "gbPosition").enabled);
            EXPECT_FALSE(Shown(w, "rbPosRandom").enabled);
            EXPECT_TRUE(Shown(w, "rbPosRandom").checked) << "the choice stays, unused";
        });
        for (const char* box : {"cbExitMouseMove", "cbExitMouseButton", "cbExitKeyboard", "cbExitEscape"}) {
            Click(200, box);
        }
        sim::At(210, [&] {
            EXPECT_FALSE(Shown(w, "cbExitKeyboard").checked);
            EXPECT_TRUE(Shown(w, "cbExitEscape").checked) << "the fourth unchecking is refused";
        });
        At(300, ControlEvent::Kind::Change, "edSeconds", 12);
        At(310, ControlEvent::Kind::Change, "tbEffectSpeed", 9);
        Click(320, "rbRandom");
        Click(330, "cbDesktop");
    });
    EXPECT_EQ(Stored("Stretch")->integer, 0) << "random position applies only to the sizes that keep it";
    EXPECT_EQ(Stored("Seconds")->integer, 12);
    EXPECT_EQ(Stored("EffectSpeed")->integer, 9);
    EXPECT_EQ(Stored("DisplayOrder")->integer, 1);
    EXPECT_EQ(Stored("DesktopStart")->integer, 1);
    EXPECT_EQ(Stored("ExitESC")->integer, 1);
    EXPECT_EQ(Stored("ExitKeyboard")->integer, 0);
}

TEST_F(Panel, NothingChangedMeansNothingLost) {
    Machine().registry.SetInteger(kKey, "Seconds", 33);
    Machine().registry.SetInteger(kKey, "Stretch", 5);
    Machine().registry.SetInteger(kKey, "EffectSpeed", 2);
    Machine().registry.SetString(kKey, "Effect", std::string{5, 5, 115});
    Machine().registry.SetInteger(kKey, "UseCustomPlaylist", 1);
    RunPanel(Saver({{"HidePositionTab", true}}), [&](host::TSSWindow& w) {
        sim::At(10, [&] {
            const plat::Control list = Shown(w, "lbEffects");
            EXPECT_EQ(std::count(list.checks.begin(), list.checks.end(), true), 2) << "a stored duplicate checks once";
            EXPECT_TRUE(list.checks[4]);
            EXPECT_TRUE(list.checks[114]);
            EXPECT_EQ(list.items[114], "Crossfade");
            EXPECT_FALSE(Shown(w, "tsPosition").visible);
        });
    });
    EXPECT_EQ(Stored("Seconds")->integer, 33);
    EXPECT_EQ(Stored("Stretch")->integer, 5) << "the hidden page's setting is kept";
    EXPECT_EQ(Stored("EffectSpeed")->integer, 2);
    EXPECT_EQ(Stored("Effect")->text, (std::string{5, 115}));
    EXPECT_EQ(Stored("UseCustomPlaylist")->integer, 1);
}

TEST_F(Panel, SettingsThatCannotBeStoredAreNamedInAMessage) {
    Machine().registry.SetInteger(kKey, "Seconds", 33);
    Machine().registry.DenyWrites(kKey);
    RunPanel(Saver(), [](host::TSSWindow&) {});
    ASSERT_EQ(Machine().messageBoxes.size(), 1u);
    EXPECT_EQ(Machine().messageBoxes[0].text,
              "These settings could not be stored and will be lost:\r\n\r\nSeconds, Stretch, DisplayOrder, "
              "DesktopStart, Loop, Mute, ShuffleMelody, Effect, EffectSpeed, PlayOneRandom, ExitMouseMove, "
              "ExitMouseButton, ExitKeyboard, ExitESC, UseCustomPlaylist, DisableTwoMonitors");
    EXPECT_EQ(Machine().messageBoxes[0].flags, plat::MB_ICONERROR);
    EXPECT_EQ(Stored("Seconds")->integer, 33) << "what was stored before stays";

    sim::Reset();
    Machine().tempPath = Temp();
    Machine().registry.DenyWrites("\\Software\\Tavolisk");
    RunPanel(Saver(), [](host::TSSWindow&) {});
    ASSERT_EQ(Machine().messageBoxes.size(), 1u) << "a key that cannot even be made";
    EXPECT_TRUE(Machine().messageBoxes[0].text.ends_with("UseCustomPlaylist, DisableTwoMonitors"));
    EXPECT_FALSE(Machine().registry.KeyExists(kKey));
}

TEST_F(Panel, SelectAllAndSelectNoneAndTheBoxesOfTheList) {
    RunPanel(Saver(), [&](host::TSSWindow&) {
        Click(100, "btnSelectNone");
        At(110, ControlEvent::Kind::Toggle, "lbEffects", 0);
        At(120, ControlEvent::Kind::Toggle, "lbEffects", 119);
        At(130, ControlEvent::Kind::Toggle, "lbEffects", 0);
    });
    EXPECT_EQ(Stored("Effect")->text, std::string{120});

    sim::Reset();
    Machine().tempPath = Temp();
    RunPanel(Saver(), [&](host::TSSWindow&) { Click(100, "btnSelectNone"); });
    EXPECT_EQ(Stored("Effect")->type, sim::RegValue::Type::String);
    EXPECT_EQ(Stored("Effect")->text, "") << "no effect: the pictures change at once";
}

TEST_F(Panel, TheWebsiteGetsASchemeOnlyWhenItHasNone) {
    const std::pair<const char*, const char*> cases[] = {
        {"example.com/saver", "http://example.com/saver"},
        {"HTTP://Example.com", "HTTP://Example.com"},
        {"https://secure.example.com", "https://secure.example.com"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
    };
    for (const auto& [stored, opened] : cases) {
        sim::Reset();
        Machine().tempPath = Temp();
        RunPanel(Saver({}, {{"WebsiteURL", stored}}), [&](host::TSSWindow&) {
            Click(100, "btnWebsite");
            Click(200, "btnWebsite");
        });
        ASSERT_EQ(Machine().shellOpens.size(), 2u) << stored;
        EXPECT_EQ(Machine().shellOpens[0].target, opened);
        EXPECT_EQ(Machine().shellOpens[1].target, opened) << "the scheme is added once for the run";
        EXPECT_EQ(Machine().shellOpens[0].showCommand, plat::SW_SHOWNORMAL);
    }
}

TEST_F(Panel, TheBannerOpensItsLinkAndCtrlTabTurnsOnlyToVisiblePages) {
    Put("banner.bmp", testing_support::SolidBmp(470, 62, 10, 20, 30));
    PutPicture();
    const std::string saver = Build({{"header", {{"ExitESC", true}, {"HideEffectsTab", true}}},
                                     {"strings", {{"SaverName", "Panel Test"}, {"BannerLink", "http://banner.invalid/"}}},
                                     {"items", {{{"file", "a.jpg"}}}},
                                     {"configBanner", {{"file", "banner.bmp"}}}});
    std::vector<int> pages;
    RunPanel(saver, [&](host::TSSWindow& w) {
        sim::At(10, [&] { EXPECT_TRUE(Shown(w, "imgBanner").handPointer); });
        Click(100, "imgBanner");
        sim::At(200, [] { sim::M().keysDown.insert(plat::VK_CONTROL); });
        for (std::uint64_t t = 300; t < 800; t += 100) {
            Key(t, plat::VK_TAB);
            sim::At(t + 50, [&] { pages.push_back(Shown(w, "PageControl").itemIndex); });
        }
        sim::At(850, [] { sim::M().keysDown.clear(); });
    });
    ASSERT_EQ(Machine().shellOpens.size(), 1u);
    EXPECT_EQ(Machine().shellOpens[0].target, "http://banner.invalid/");
    EXPECT_EQ(Machine().shellOpens[0].showCommand, plat::SW_SHOWDEFAULT);
    EXPECT_EQ(pages, (std::vector<int>{1, 3, 4, 0, 1})) << "the hidden Effects page is passed over";
}

TEST_F(Panel, EnterPressesTheFocusedButtonElseClose) {
    bool aboutShown = false;
    Run(Saver(), {"/c"}, 5000, [&](host::TSSWindow& w) {
        sim::At(100, [&] { sim::Focus(w.Window().Handle(), "btnAbout"); });
        Key(200, plat::VK_RETURN);
        sim::At(300, [&] {
            aboutShown = w.AboutWindow()->Showing();
            w.AboutWindow()->btnCloseClick();
            sim::Focus(w.Window().Handle(), "cbMute");
        });
        Key(400, plat::VK_RETURN);
    });
    EXPECT_TRUE(aboutShown);
    EXPECT_TRUE(Traced("Form CLose"));
    EXPECT_LT(sim::Now(), 1000u);
}

TEST_F(Panel, TheMusicGroupTakesThePackagesShape) {
    struct Case {
        const char* what;
        Json header;
        std::vector<const char*> music;
        int height;
        bool own;       // the own-playlist buttons show
        bool shuffle;   // the shuffle and one-random boxes show
        bool builtIn;   // "Use built-in playlist" can be chosen
    };
    const Case cases[] = {
        {"two tracks, own playlist allowed", {{"AllowCustomPlaylist", true}}, {"t0.wav", "t1.wav"}, 159, true, true, true},
        {"own playlist not allowed", {{"AllowCustomPlaylist", false}}, {"t0.wav", "t1.wav"}, 95, false, true, true},
        {"one track, not allowed", {{"AllowCustomPlaylist", false}}, {"t0.wav"}, 111, false, false, true},
        {"no track", {{"AllowCustomPlaylist", true}}, {}, 159, true, true, false},
    };
    for (const Case& c : cases) {
        sim::Reset();
        Machine().tempPath = Temp();
        Put("t0.wav", testing_support::SilentWav(100));
        Put("t1.wav", testing_support::SilentWav(100));
        PutPicture();
        Json music = Json::array();
        for (const char* f : c.music) {
            music.push_back({{"file", f}});
        }
        Json header = {{"ExitESC", true}};
        header.update(c.header);
        const std::string saver = Build({{"header", header}, {"strings", {{"SaverName", "Panel Test"}}},
                                         {"items", {{{"file", "a.jpg"}}}}, {"music", music}});
        RunPanel(saver, [&](host::TSSWindow& w) {
            sim::At(10, [&] {
                const plat::Control group = Shown(w, "gbPlaylist");
                EXPECT_EQ(group.bounds.Height(), c.height) << c.what;
                EXPECT_EQ(Shown(w, "btnPlaylistEditor").visible, c.own) << c.what;
                EXPECT_EQ(Shown(w, "cbShuffle").visible, c.shuffle) << c.what;
                EXPECT_EQ(Shown(w, "rbPlayBuiltIn").enabled, c.builtIn) << c.what;
                EXPECT_EQ(Shown(w, "rbPlayMyOwn").checked, !c.builtIn) << c.what;
                // The last three boxes keep their distance to the group's bottom edge.
                EXPECT_EQ(group.bounds.Height() - Shown(w, "cbLoop").bounds.top, 159 - 88) << c.what;
            });
        });
    }
}

TEST_F(Panel, TheDualMonitorGroupShowsOnlyWithTwoMonitors) {
    for (const int monitors : {1, 2}) {
        sim::Reset();
        Machine().tempPath = Temp();
        if (monitors == 2) {
            Machine().monitors.push_back({1024, 0, 2048, 768});
        }
        RunPanel(Saver(), [&](host::TSSWindow& w) {
            sim::At(10, [&] { EXPECT_EQ(Shown(w, "gbDualMonitor").visible, monitors == 2); });
        });
    }
}

class Preview : public Panel {
protected:
    // What the preview shows: 1 or 2 for a whole sample picture, 0 for anything between.
    static int Showing(host::TSSWindow& w) {
        const gfx::TBitmap32& canvas = sim::AsSim(*w.ImgPreviewTrans()).Canvas();
        const gfx::IntSize size{canvas.Width(), canvas.Height()};
        for (const int which : {1, 2}) {
            const gfx::TBitmap32 sample = trans::SamplePicture(which, size);
            if (std::equal(canvas.Bits(), canvas.Bits() + size.width * size.height, sample.Bits())) {
                return which;
            }
        }
        return 0;
    }
};

TEST_F(Preview, AClickPlaysThatEffectOnceBetweenTheSamplesInTurn) {
    std::vector<std::pair<std::uint64_t, int>> seen;
    RunPanel(Saver(), [&](host::TSSWindow& w) {
        for (const std::uint64_t t : {5, 150, 250, 700, 790, 950, 1350}) {
            sim::At(t, [&, t] { seen.emplace_back(t, Showing(w)); });
        }
        At(100, ControlEvent::Kind::Select, "lbEffects", 114);  // Crossfade
        At(750, ControlEvent::Kind::Select, "lbEffects", 4);    // Slide From Left
    });
    // The ticks come every 200 ms: the one at 200 starts the first preview, towards the first
    // sample; the one at 800 the second, back to the second sample.
    EXPECT_EQ(seen, (std::vector<std::pair<std::uint64_t, int>>{
                        {5, 2}, {150, 2}, {250, 0}, {700, 1}, {790, 1}, {950, 0}, {1350, 2}}));
}

TEST_F(Preview, AClickDuringAPreviewStopsItAndTheNextStartsAfterTheWorker) {
    int afterStop = -1;
    bool busyAtClick = false;
    RunPanel(Saver(), [&](host::TSSWindow& w) {
        At(100, ControlEvent::Kind::Select, "lbEffects", 114);
        sim::At(300, [&] {
            busyAtClick = core::Flags().TransBusy;
            sim::Act(w.Window().Handle(), {ControlEvent::Kind::Select, "lbEffects", 30});
        });
        sim::At(325, [&] { afterStop = Showing(w); });
    });
    EXPECT_TRUE(busyAtClick);
    EXPECT_EQ(afterStop, 1) << "the stopped preview shows its whole target within a frame";
}

TEST_F(Preview, AScaleChangeStopsThePreviewFirstAndPlaysItAgainOnTheNewSurface) {
    bool busyAtMove = false;
    const plat::Surface* before = nullptr;
    std::vector<int> afterMove;
    RunPanel(Saver(), [&](host::TSSWindow& w) {
        At(100, ControlEvent::Kind::Select, "lbEffects", 114);
        sim::At(300, [&] {
            busyAtMove = core::Flags().TransBusy;
            before = w.ImgPreviewTrans();
            sim::MoveToDpi(w.Window().Handle(), 192);
            EXPECT_FALSE(core::Flags().TransBusy) << "stopped before the surface went";
            EXPECT_NE(w.ImgPreviewTrans(), before);
            EXPECT_EQ(w.ImgPreviewTrans()->Bounds().Size(), (gfx::IntSize{238, 190}));
        });
        for (const std::uint64_t t : {301, 450, 800}) {
            sim::At(t, [&] { afterMove.push_back(Showing(w)); });
        }
    });
    EXPECT_TRUE(busyAtMove);
    EXPECT_EQ(afterMove, (std::vector<int>{2, 0, 1})) << "the new surface starts on the second sample and plays again";
}

class Editor : public Panel {
protected:
    snd::TPlaylistWindow& Ed() { return *window_->PlaylistWindow(); }

    void EditorAt(std::uint64_t time, const std::string& name, ControlEvent::Kind kind = ControlEvent::Kind::Click,
                  int value = 0) {
        sim::At(time, [this, name, kind, value] { sim::Act(Ed().Window().Handle(), {kind, name, value}); });
    }

    std::vector<std::string> Enabled() {
        std::vector<std::string> names;
        for (const plat::Control* c : {&Ed().btnMelodyAdd, &Ed().btnMelodyDelete, &Ed().btnMelodyDelAll,
                                       &Ed().btnMelodyUp, &Ed().btnMelodyDown, &Ed().btnPlay, &Ed().btnStop,
                                       &Ed().btnClose}) {
            const auto shown = sim::ShownControl(Ed().Window().Handle(), c->name);
            if (shown && shown->enabled) {
                names.push_back(c->name);
            }
        }
        return names;
    }

    std::string PlaylistKey() const { return kKey + "\\PlayList"; }
};

TEST_F(Editor, TheButtonsFollowTheListAndTheListIsStoredOnClose) {
    const std::vector<std::string> files{Path("a.wav"), Path("b.wav"), Path("c.wav")};
    for (const auto& f : files) {
        testing_support::WriteBytes(f, testing_support::SilentWav(200));
    }
    Machine().openFileAnswers.push_back(files);
    std::vector<std::string> atStart;
    std::vector<std::string> afterAdd;
    int selectedAfterAdd = -1;
    RunPanel(Saver(), [&](host::TSSWindow& w) {
        Click(100, "btnPlaylistEditor");
        sim::At(150, [&] {
            EXPECT_TRUE(w.PlaylistWindow()->Showing());
            EXPECT_FALSE(plat::IsWindowEnabledHandle(w.Window().Handle())) << "modal over the panel";
            atStart = Enabled();
        });
        EditorAt(200, "btnMelodyAdd");
        sim::At(250, [&] {
            afterAdd = Enabled();
            selectedAfterAdd = Ed().lbMelodies.itemIndex;
        });
        EditorAt(300, "lbMelodies", ControlEvent::Kind::Select, 2);
        EditorAt(310, "btnMelodyUp");
        EditorAt(320, "btnMelodyUp");
        EditorAt(330, "btnMelodyUp");  // the first line stays first
        EditorAt(400, "btnClose");
    });
    EXPECT_EQ(atStart, (std::vector<std::string>{"btnMelodyAdd", "btnClose"}));
    EXPECT_EQ(afterAdd.size(), 8u);
    EXPECT_EQ(selectedAfterAdd, 0);
    EXPECT_EQ(Machine().registry.Get(PlaylistKey(), "item0")->text, files[2]);
    EXPECT_EQ(Machine().registry.Get(PlaylistKey(), "item1")->text, files[0]);
    EXPECT_EQ(Machine().registry.Get(PlaylistKey(), "item2")->text, files[1]);
    EXPECT_FALSE(Machine().registry.Get(PlaylistKey(), "item3"));
}

TEST_F(Editor, RemovingSelectsTheNextLineOrTheNewLast) {
    for (int i = 0; i < 5; ++i) {
        Machine().registry.SetString(PlaylistKey(), "item" + std::to_string(i), "C:\\m" + std::to_string(i) + ".mp3");
    }
    std::vector<int> selected;
    std::vector<std::string> atEnd;
    RunPanel(Saver(), [&](host::TSSWindow&) {
        Click(100, "btnPlaylistEditor");
        EditorAt(200, "lbMelodies", ControlEvent::Kind::Select, 4);
        EditorAt(210, "btnMelodyDown");  // the last line stays last
        EditorAt(220, "btnMelodyDelete");
        sim::At(230, [&] { selected.push_back(Ed().lbMelodies.itemIndex); });
        EditorAt(240, "lbMelodies", ControlEvent::Kind::Select, 1);
        EditorAt(250, "btnMelodyDelete");
        sim::At(260, [&] { selected.push_back(Ed().lbMelodies.itemIndex); });
        EditorAt(270, "btnMelodyDelAll");
        sim::At(280, [&] {
            selected.push_back(Ed().lbMelodies.itemIndex);
            atEnd = Enabled();
        });
        EditorAt(300, "btnClose");
    });
    EXPECT_EQ(selected, (std::vector<int>{3, 1, -1}));
    EXPECT_EQ(atEnd, (std::vector<std::string>{"btnMelodyAdd", "btnClose"}));
    EXPECT_FALSE(Machine().registry.Get(PlaylistKey(), "item0")) << "an empty list removes item0";
    EXPECT_TRUE(Machine().registry.Get(PlaylistKey(), "item1")) << "values past the end stay, unread";
}

TEST_F(Editor, PlayHearsTheLineAndSaysWhenItsFileIsMissing) {
    const std::string a = Path("a.wav");
    const std::string b = Path("b.wav");
    testing_support::WriteBytes(a, testing_support::SilentWav(5000));
    testing_support::WriteBytes(b, testing_support::SilentWav(5000));
    Machine().registry.SetString(PlaylistKey(), "item0", a);
    Machine().registry.SetString(PlaylistKey(), "item1", b);
    Machine().registry.SetString(PlaylistKey(), "item2", Path("gone.wav"));
    RunPanel(Saver(), [&](host::TSSWindow&) {
        Click(100, "btnPlaylistEditor");
        EditorAt(200, "btnPlay");
        EditorAt(300, "lbMelodies", ControlEvent::Kind::Select, 1);
        EditorAt(310, "btnPlay");
        EditorAt(400, "lbMelodies", ControlEvent::Kind::Select, 2);
        EditorAt(410, "btnPlay");
        EditorAt(500, "btnStop");
        EditorAt(600, "btnClose");
    });
    std::vector<std::string> log;
    for (const sim::MediaEvent& e : Machine().mediaLog) {
        if (e.player == "EditorPlay" && (e.event == "open" || e.event == "close")) {
            log.push_back(std::to_string(e.time) + " " + e.event + " " + e.file);
        }
    }
    EXPECT_EQ(log, (std::vector<std::string>{"200 open " + a, "310 close " + a, "310 open " + b, "500 close " + b}));
    ASSERT_EQ(Machine().messageBoxes.size(), 1u);
    EXPECT_EQ(Machine().messageBoxes[0].text, "Specified file does not exist.");
    EXPECT_EQ(Machine().messageBoxes[0].flags, plat::MB_ICONERROR);
}

TEST_F(Editor, AStoredValueOfAnotherTypeIsSkippedAndTheListShownIsStored) {
    Machine().registry.SetString(PlaylistKey(), "item0", "C:\\keep.mp3");
    Machine().registry.SetInteger(PlaylistKey(), "item1", 7);
    Machine().registry.SetString(PlaylistKey(), "item2", "C:\\more.mp3");
    bool opened = false;
    std::vector<std::string> lines;
    RunPanel(Saver(), [&](host::TSSWindow& w) {
        Click(100, "btnPlaylistEditor");
        sim::At(200, [&] {
            opened = w.PlaylistWindow()->Showing();
            lines = Ed().Lines();
        });
        EditorAt(300, "btnClose");
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(lines, (std::vector<std::string>{"C:\\keep.mp3", "C:\\more.mp3"}));
    EXPECT_TRUE(Traced("Playlist value not readable: item1"));
    EXPECT_TRUE(Machine().messageBoxes.empty());
    EXPECT_TRUE(Traced("Form CLose")) << "the dialog went on until Esc closed it";
    EXPECT_EQ(Machine().registry.Get(PlaylistKey(), "item0")->text, "C:\\keep.mp3");
    EXPECT_EQ(Machine().registry.Get(PlaylistKey(), "item1")->text, "C:\\more.mp3");
    EXPECT_FALSE(Machine().registry.Get(PlaylistKey(), "item2"));
}

TEST_F(Panel, TheAboutWindowShowsThePackagesNameTextAndLink) {
    struct Case {
        Json strings;
        std::string title;
        std::string text;
        bool link;
    };
    const Case cases[] = {
        {{{"AboutText", "Made for you"}, {"WebsiteURL", "www.example.com"}}, "Panel Test", "Made for you", true},
        {{{"SaverName", ""}, {"AboutText", ""}, {"WebsiteURL", ""}}, "Screen Saver", "Version 1.0", false},
    };
    for (const Case& c : cases) {
        sim::Reset();
        Machine().tempPath = Temp();
        side::TAboutWindow* about = nullptr;
        plat::Control title;
        plat::Control text;
        plat::Control link;
        RunPanel(Saver({}, c.strings), [&](host::TSSWindow& w) {
            about = w.AboutWindow();
            Click(100, "btnAbout");
            sim::At(200, [&] {
                const plat::WindowHandle h = about->Window().Handle();
                title = *sim::ShownControl(h, "Title");
                text = *sim::ShownControl(h, "Text");
                link = *sim::ShownControl(h, "Link");
                sim::Act(h, {ControlEvent::Kind::Click, "Link", 0});
                sim::Act(h, {ControlEvent::Kind::Click, "btnClose", 0});
            });
        });
        EXPECT_EQ(title.caption, c.title);
        EXPECT_TRUE(title.bold);
        EXPECT_EQ(text.caption, c.text);
        EXPECT_EQ(link.visible, c.link);
        if (c.link) {
            ASSERT_EQ(Machine().shellOpens.size(), 1u);
            EXPECT_EQ(Machine().shellOpens[0].target, "www.example.com") << "as it stands";
        }
    }
}

}  // namespace
