// The program in each of its modes on the simulated machine: the windows it makes, the input that
// ends the full-screen saver, the password check, and what closing deletes, opens and writes.

#include <gtest/gtest.h>

#include "common/Flags.h"
#include "platform/Files.h"
#include "platform/sim/SimSurface.h"
#include "platform/sim/SimWindow.h"
#include "tests/sim/SaverRun.h"

namespace {

using testing_support::Json;
using testing_support::Pattern;
using testing_support::SaverRunTest;

const std::string kKey = "\\Software\\Tavolisk\\Host Test";

class Host : public SaverRunTest {
protected:
    // A saver with two items, one track and the exit settings given (all others off).
    std::string Saver(const Json& header = Json::object(), const Json& strings = Json::object(),
                      const std::string& name = "host.scr") {
        Put("a.jpg", Pattern(300, 1));
        Put("b.jpg", Pattern(300, 2));
        Put("song.mp3", Pattern(100, 3));
        Json h = {{"ExitMouseMove", false}, {"ExitMouseButton", false}, {"ExitKeyboard", false}, {"ExitESC", false},
                  {"BackgroundColor", "#336699"}, {"BackgroundColor2", "#336699"}};
        if (header.is_object()) {
            h.update(header);
        }
        Json s = {{"SaverName", "Host Test"}, {"ExitLink", "http://exit.invalid/"}};
        if (strings.is_object()) {
            s.update(strings);
        }
        return Build({{"header", h}, {"strings", s},
                      {"items", {{{"file", "a.jpg"}}, {{"file", "b.jpg"}}}},
                      {"music", {{{"file", "song.mp3"}}}}},
                     testing_support::FakeRuntime(), name);
    }

    bool Ended(int code) const { return code == 0 && Traced("Form CLose"); }
};

struct ExitCase {
    const char* what;
    Json exits;
    std::function<void()> input;  // at 1000 ms
    bool ends;
};

TEST_F(Host, TheExitDecisionTableRowByRow) {
    using Self = SaverRunTest;
    const ExitCase cases[] = {
        {"move 5 px with ExitMouseMove", {{"ExitMouseMove", true}}, [] { Self::MoveCursor(1000, 5, -5); }, false},
        {"move 6 px with ExitMouseMove", {{"ExitMouseMove", true}}, [] { Self::MoveCursor(1000, 0, 6); }, true},
        {"slow drift adds up past 5 px", {{"ExitMouseMove", true}},
         [] { Self::MoveCursor(1000, 3, 0); Self::MoveCursor(1100, 3, 0); }, true},
        {"move 6 px without ExitMouseMove", {{"ExitKeyboard", true}}, [] { Self::MoveCursor(1000, 6, 0); }, false},
        {"key with only ExitMouseMove", {{"ExitMouseMove", true}}, [] { Self::Key(1000, 'A'); }, false},
        {"key down with ExitKeyboard", {{"ExitKeyboard", true}}, [] { Self::Key(1000, 'A'); }, true},
        {"key up with ExitKeyboard", {{"ExitKeyboard", true}}, [] { Self::Key(1000, 'A', plat::WM_KEYUP); }, true},
        {"system key with ExitKeyboard", {{"ExitKeyboard", true}},
         [] { Self::Key(1000, plat::VK_MENU, plat::WM_SYSKEYDOWN); }, true},
        {"Esc with ExitKeyboard", {{"ExitKeyboard", true}}, [] { Self::Key(1000, plat::VK_ESCAPE); }, true},
        {"Esc with ExitESC", {{"ExitESC", true}}, [] { Self::Key(1000, plat::VK_ESCAPE); }, true},
        {"Esc released with ExitESC", {{"ExitESC", true}},
         [] { Self::Key(1000, plat::VK_ESCAPE, plat::WM_KEYUP); }, false},
        {"other key with ExitESC", {{"ExitESC", true}}, [] { Self::Key(1000, 'Q'); }, false},
        {"left button with ExitMouseButton", {{"ExitMouseButton", true}},
         [] { Self::Post(1000, plat::WM_LBUTTONDOWN); }, true},
        {"right button with ExitMouseButton", {{"ExitMouseButton", true}},
         [] { Self::Post(1000, plat::WM_RBUTTONDOWN); }, true},
        {"middle button with ExitMouseButton", {{"ExitMouseButton", true}},
         [] { Self::Post(1000, plat::WM_MBUTTONDOWN); }, true},
        {"activation with ExitMouseButton", {{"ExitMouseButton", true}},
         [] { Self::Post(1000, plat::WM_ACTIVATEAPP); }, true},
        {"button release with ExitMouseButton", {{"ExitMouseButton", true}},
         [] { Self::Post(1000, plat::WM_LBUTTONUP); }, false},
        {"button without ExitMouseButton", {{"ExitKeyboard", true}}, [] { Self::Post(1000, plat::WM_LBUTTONDOWN); },
         false},
        {"F2 with the wallpaper key", {{"ExitKeyboard", true}, {"AllowWallpaperKey", true}},
         [] { Self::Key(1000, plat::VK_F2); }, false},
        {"F2 with Esc only", {{"ExitESC", true}, {"AllowWallpaperKey", true}}, [] { Self::Key(1000, plat::VK_F2); },
         false},
    };
    for (const ExitCase& c : cases) {
        trace.clear();
        c.input();
        const int code = Run(Saver(c.exits), {"/s"}, 3000);
        EXPECT_EQ(Ended(code), c.ends) << c.what;
        if (c.ends) {
            EXPECT_LE(sim::Now(), 1100u) << c.what << ": ends on the input itself";
        }
        sim::Reset();
        Machine().tempPath = Temp();
    }
}

TEST_F(Host, AMouseMoveWithoutItsExitShowsThePointerOnce) {
    MoveCursor(1000, 10, 0);
    MoveCursor(1200, 10, 0);
    int count = 99;
    sim::At(1500, [&] { count = Machine().showCursorCount; });
    Run(Saver({{"ExitKeyboard", true}}), {"/s"}, 2000);
    EXPECT_EQ(count, 0) << "hidden at start, shown once by the first real move";
}

TEST_F(Host, F1OpensTheHelpLinkInsteadOfTheExitLink) {
    Key(500, plat::VK_F1);
    EXPECT_TRUE(Ended(Run(Saver({{"ExitKeyboard", true}}, {{"HelpKeyLink", "http://help.invalid/"}}), {"/s"})));
    ASSERT_EQ(Machine().shellOpens.size(), 1u);
    EXPECT_EQ(Machine().shellOpens[0].target, "http://help.invalid/");
    EXPECT_EQ(Machine().shellOpens[0].showCommand, plat::SW_SHOWNORMAL);

    sim::Reset();
    Machine().tempPath = Temp();
    trace.clear();
    Key(500, plat::VK_F1);
    EXPECT_TRUE(Ended(Run(Saver({{"ExitKeyboard", true}}), {"/s"})));
    ASSERT_EQ(Machine().shellOpens.size(), 1u);
    EXPECT_EQ(Machine().shellOpens[0].target, "http://exit.invalid/") << "no help link: the exit link stays";
}

class Password : public Host {
protected:
    void RequirePassword(bool accepts) {
        Machine().registry.SetString("Control Panel\\Desktop", "ScreenSaveUsePassword", "1");
        Machine().libraries[Machine().systemFolder + "/PASSWORD.CPL"] = {false, true, accepts, false};
    }
};

TEST_F(Password, ARejectedPasswordKeepsTheSaverAndItsTimerRunning) {
    RequirePassword(false);
    Key(1000, 'A');
    int cursor = 99;
    sim::At(1500, [&] { cursor = Machine().showCursorCount; });
    const int code = Run(Saver({{"ExitKeyboard", true}}), {"/s"}, 2000);
    EXPECT_EQ(code, -1);
    EXPECT_TRUE(Traced("Password rejected"));
    EXPECT_FALSE(Traced("Form CLose"));
    ASSERT_EQ(Machine().libraryCalls.size(), 1u);
    EXPECT_EQ(Machine().libraryCalls[0].function, "VerifyScreenSavePwd");
    EXPECT_EQ(cursor, -1) << "shown for the dialog, hidden again after";
    EXPECT_FALSE(core::Flags().InputSuspended);
}

TEST_F(Password, TheTimerRunsAgainAfterARejection) {
    RequirePassword(false);
    Key(1000, 'A');
    bool enabledAfter = false;
    Run(Saver({{"ExitKeyboard", true}}), {"/s"}, 2000, [&](host::TSSWindow& w) {
        sim::At(1001, [&] { enabledAfter = w.Timer().Enabled(); });
    });
    EXPECT_TRUE(enabledAfter);
}

TEST_F(Password, AnAcceptedPasswordEndsTheSaver) {
    RequirePassword(true);
    Key(1000, 'A');
    EXPECT_TRUE(Ended(Run(Saver({{"ExitKeyboard", true}}), {"/s"})));
    EXPECT_EQ(Machine().libraryCalls.size(), 1u);
}

TEST_F(Password, NoProviderOrNoPasswordFlagAllowsClosing) {
    Machine().registry.SetInteger("Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    Key(1000, 'A');
    EXPECT_TRUE(Ended(Run(Saver({{"ExitKeyboard", true}}), {"/s"}))) << "PASSWORD.CPL is missing";

    sim::Reset();
    Machine().tempPath = Temp();
    RequirePassword(false);
    Machine().registry.SetString("Control Panel\\Desktop", "ScreenSaveUsePassword", "0");
    Key(1000, 'A');
    trace.clear();
    EXPECT_TRUE(Ended(Run(Saver({{"ExitKeyboard", true}}), {"/s"})));
    EXPECT_TRUE(Machine().libraryCalls.empty());
}

TEST_F(Host, ARunningTransitionFinishesTheJobItself) {
    Key(1000, plat::VK_ESCAPE);
    sim::At(999, [] { core::Flags().TransBusy = true; });
    const int code = Run(Saver({{"ExitESC", true}}), {"/s"}, 2000);
    EXPECT_EQ(code, -1) << "the window is not closed while the transition runs";
    EXPECT_TRUE(core::Flags().TransAbort);
    EXPECT_TRUE(core::Flags().TransShutdown);
    EXPECT_FALSE(Traced("Form CLose"));
}

TEST_F(Host, ClosingTheSaverDeletesItsFilesOpensTheExitLinkAndWritesNothing) {
    testing_support::WriteBytes(Temp() + "SSDATA.DAT", {1});
    testing_support::WriteBytes(Temp() + "SSSND.MP3", {1});
    Key(500, plat::VK_ESCAPE);
    EXPECT_TRUE(Ended(Run(Saver({{"ExitESC", true}}), {"/s"})));
    EXPECT_FALSE(plat::FileExists(Temp() + "SSDATA.DAT"));
    EXPECT_FALSE(plat::FileExists(Temp() + "SSSND.MP3"));
    ASSERT_EQ(Machine().shellOpens.size(), 1u);
    EXPECT_EQ(Machine().shellOpens[0].target, "http://exit.invalid/");
    EXPECT_FALSE(Machine().registry.KeyExists(kKey));
    // Hidden at start; shown for the password check, at close and when the component goes.
    EXPECT_EQ(Machine().showCursorCount, 2);
    EXPECT_EQ(Machine().screenSaverRunning, false);
    for (const char* step : {"Form CLose", "Screensaver freed", "Delete snd files", "Extradata exitlink stuff",
                             "Freeing backg", "Freeing logo", "FinishScreenSaver", "Form Destroy"}) {
        EXPECT_TRUE(Traced(step)) << step;
    }
}

TEST_F(Host, TheFullScreenWindowCoversTheMonitorOnTop) {
    bool checked = false;
    Run(Saver(), {"/s"}, 100, [&](host::TSSWindow& w) {
        sim::At(50, [&] {
            const sim::WindowRecord* r = sim::FindWindow(w.Window().Handle());
            ASSERT_NE(r, nullptr);
            EXPECT_TRUE(r->visible);
            EXPECT_EQ(r->bounds, Machine().monitors[0]);
            EXPECT_EQ(r->border, plat::BorderStyle::None);
            EXPECT_TRUE(r->stayOnTop);
            EXPECT_EQ(r->color, 0x996633) << "the background colour";
            const gfx::TBitmap32& screen = sim::AsSim(w.Image32()).Canvas();
            EXPECT_EQ(screen.BoundsRect(), Machine().monitors[0]);
            EXPECT_EQ(screen.Pixel(0, 0), gfx::MakeColor32(0x33, 0x66, 0x99));
            EXPECT_EQ(screen.Pixel(1023, 767), gfx::MakeColor32(0x33, 0x66, 0x99));
            EXPECT_EQ(r->caption, "Host Test");
            EXPECT_EQ(Machine().screenSaverRunning, true);
            EXPECT_EQ(Machine().showCursorCount, -1);
            checked = true;
        });
    });
    EXPECT_TRUE(checked);
}

TEST_F(Host, TheSaverRefusesASecondScreenSaverAndHoldsThePrintScreenKeys) {
    std::optional<std::intptr_t> answer;
    std::optional<std::intptr_t> other;
    std::vector<std::pair<int, std::uint32_t>> hotKeys;
    Run(Saver(), {"/s"}, 100, [&](host::TSSWindow& w) {
        const plat::WindowHandle h = w.Window().Handle();
        answer = sim::SendToWindow({h, plat::WM_SYSCOMMAND, plat::SC_SCREENSAVE, 0});
        other = sim::SendToWindow({h, plat::WM_SYSCOMMAND, plat::SC_MINIMIZE, 0});
        hotKeys = sim::FindWindow(h)->hotKeys;
    });
    EXPECT_EQ(answer, 0) << "answered and not passed on";
    EXPECT_FALSE(other) << "every other command goes on as before";
    EXPECT_EQ(hotKeys, (std::vector<std::pair<int, std::uint32_t>>{{1, plat::VK_SNAPSHOT}, {2, plat::VK_SNAPSHOT}}));

    sim::Reset();
    Machine().tempPath = Temp();
    Run(Saver(), {"/c"}, 100, [&](host::TSSWindow& w) {
        answer = sim::SendToWindow({w.Window().Handle(), plat::WM_SYSCOMMAND, plat::SC_SCREENSAVE, 0});
    });
    EXPECT_FALSE(answer) << "only the full-screen saver hooks the window";
}

TEST_F(Host, TheSecondMonitorGetsAWindowUnlessDisabled) {
    Machine().monitors = {{0, 0, 1024, 768}, {1024, 0, 2304, 1024}};
    bool inUse = false;
    std::vector<sim::WindowRecord> windows;
    Run(Saver(), {"/s"}, 100, [&](host::TSSWindow& w) {
        inUse = w.SecondMonitorInUse();
        windows = sim::Windows();
    });
    EXPECT_TRUE(inUse);
    EXPECT_TRUE(std::any_of(windows.begin(), windows.end(), [](const sim::WindowRecord& r) {
        return r.bounds == gfx::IntRect{1024, 0, 2304, 1024} && r.visible && r.border == plat::BorderStyle::None;
    }));

    sim::Reset();
    Machine().tempPath = Temp();
    Machine().monitors = {{0, 0, 1024, 768}, {1024, 0, 2304, 1024}};
    Run(Saver({{"DisableTwoMonitors", true}}), {"/s"}, 100, [&](host::TSSWindow& w) { inUse = w.SecondMonitorInUse(); });
    EXPECT_FALSE(inUse);
}

TEST_F(Host, MinimizingTheSaverStartsAFreshOne) {
    sim::At(500, [] { sim::PostMessage({plat::ApplicationHandle(), plat::WM_SYSCOMMAND, plat::SC_MINIMIZE, 0}); });
    const std::string saver = Saver();
    EXPECT_TRUE(Ended(Run(saver, {"/s"})));
    ASSERT_EQ(Machine().shellOpens.size(), 2u);
    EXPECT_EQ(Machine().shellOpens[0].target, saver);
    EXPECT_EQ(Machine().shellOpens[0].showCommand, plat::SW_SHOWMAXIMIZED);
}

TEST_F(Host, ThePreviewBecomesASmallChildOfTheGivenWindow) {
    const plat::WindowHandle host = sim::AddForeignWindow("Preview host", {0, 0, 200, 150}, 0x50000000);
    bool checked = false;
    Run(Saver(), {"/p", std::to_string(host)}, 100, [&](host::TSSWindow& w) {
        const sim::WindowRecord* r = sim::FindWindow(w.Window().Handle());
        EXPECT_EQ(r->parent, host);
        EXPECT_EQ(r->bounds, (gfx::IntRect{0, 0, 152, 112}));
        EXPECT_EQ(r->style, 0x50000000u | plat::WS_CHILD | plat::WS_DISABLED);
        EXPECT_TRUE(core::Flags().PreviewMode);
        EXPECT_TRUE(core::Flags().SaverActive);
        checked = true;
    });
    EXPECT_TRUE(checked);
    EXPECT_TRUE(Machine().shellOpens.empty()) << "the preview opens nothing when it closes";
}

TEST_F(Host, APreviewHandleThatDoesNotParseLeavesTheFormAlone) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"/p:1234"}, {"/p"}, {"/p", "12x"},
                                                 {"/p", "-1"}}) {
        plat::WindowHandle parent = 1;
        Run(Saver(), args, 50, [&](host::TSSWindow& w) { parent = sim::FindWindow(w.Window().Handle())->parent; });
        EXPECT_EQ(parent, 0u) << args[0];
        EXPECT_TRUE(core::Flags().PreviewMode) << args[0];
        sim::Reset();
        Machine().tempPath = Temp();
    }
}

TEST_F(Host, PasswordChangeModeCallsTheProviderAndEnds) {
    Machine().libraries[Machine().systemFolder + "/MPR.DLL"] = {true, false, true, false};
    EXPECT_EQ(Run(Saver(), {"/a", "4660"}), 0);
    ASSERT_EQ(Machine().libraryCalls.size(), 1u);
    EXPECT_EQ(Machine().libraryCalls[0].function, "PwdChangePasswordA");
    EXPECT_EQ(Machine().libraryCalls[0].argument, "SCRSAVE");
    EXPECT_EQ(Machine().libraryCalls[0].window, 4660u);
    EXPECT_FALSE(core::Flags().SaverActive);
    EXPECT_LT(sim::Now(), 10u) << "ends at once";

    sim::Reset();
    Machine().tempPath = Temp();
    EXPECT_EQ(Run(Saver(), {"/a", "x"}), 0) << "no provider: nothing changes, the program still ends";
    EXPECT_TRUE(Machine().libraryCalls.empty());
}

TEST_F(Host, AnythingButTheKnownSwitchesIsConfiguration) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"s"}, {"/c"}, {"/c:1234"}, {"-C"}, {"/x"}}) {
        Run(Saver(), args, 50);
        EXPECT_FALSE(core::Flags().SaverActive) << (args.empty() ? "none" : args[0]);
        EXPECT_TRUE(Traced("Package read"));
        sim::Reset();
        Machine().tempPath = Temp();
        trace.clear();
    }
}

class Presentation : public Host {};

TEST_F(Presentation, OnlyEscEndsItWhateverTheStoredExitSettings) {
    Machine().registry.SetInteger(kKey, "ExitKeyboard", 1);
    Machine().registry.SetInteger(kKey, "ExitMouseMove", 1);
    const std::string show = Saver({{"ExitKeyboard", true}}, {}, "show.exe");
    Key(500, 'A');
    Post(600, plat::WM_LBUTTONDOWN);
    MoveCursor(700, 50, 50);
    EXPECT_EQ(Run(show, {"/s"}, 1500), -1) << "a key, a click and a move do not end it";
    EXPECT_TRUE(core::Flags().PresentationMode);
    EXPECT_EQ(Machine().registry.Get(kKey, "ExitKeyboard")->integer, 1) << "the registry is untouched";

    sim::Reset();
    Machine().tempPath = Temp();
    trace.clear();
    Key(500, plat::VK_ESCAPE);
    EXPECT_TRUE(Ended(Run(show, {"/s"})));
}

TEST_F(Presentation, ACopyThatMayNotRunAsAProgramEndsAtOnce) {
    const std::string show = Saver({{"AllowRunAsProgram", false}}, {}, "show.exe");
    EXPECT_EQ(Run(show, {}), 0);
    EXPECT_LT(sim::Now(), 10u);
    EXPECT_TRUE(Traced("Presentation not allowed"));
}

class Configuration : public Host {
protected:
    // Runs /c, lets the script change the panel, then presses Esc (the dialog's cancel button).
    void RunPanel(const std::string& saver, const std::function<void(config::ConfigPanel&)>& change) {
        Key(1000, plat::VK_ESCAPE);
        EXPECT_TRUE(Ended(Run(saver, {"/c"}, 5000, [&](host::TSSWindow& w) { change(w.Panel()); })));
    }
};

TEST_F(Configuration, TheDialogSitsInTheScreensCentreAtThePanelsSize) {
    bool checked = false;
    Run(Saver(), {"/c"}, 100, [&](host::TSSWindow& w) {
        sim::At(10, [&] {
            const sim::WindowRecord* r = sim::FindWindow(w.Window().Handle());
            EXPECT_EQ(r->border, plat::BorderStyle::Dialog);
            EXPECT_EQ(w.Window().ClientSize(), (gfx::IntSize{513, 381 - 69 - 15}));
            EXPECT_EQ(r->bounds.left, (1024 - r->bounds.Width()) / 2);
            EXPECT_EQ(r->bounds.top, (768 - r->bounds.Height()) / 2);
            EXPECT_TRUE(w.Panel().CfgBox.visible);
            EXPECT_FALSE(w.PanelDisplay().Visible());
            EXPECT_FALSE(w.Presentation().PresPanel.visible);
            checked = true;
        });
    });
    EXPECT_TRUE(checked);
}

TEST_F(Configuration, ClosingWritesEverySettingAndTheNextStartShowsThem) {
    const std::string saver = Saver({{"ExitESC", true}, {"Seconds", 9}}, {{"Effect", {3, 1}}});
    RunPanel(saver, [](config::ConfigPanel& p) {
        p.ClickRadio(p.rbSizeNone);
        p.ClickRadio(p.rbPosRandom);
        p.ClickRadio(p.rbMixed);
        p.ClickCheckBox(p.cbMute);
        p.ClickCheckBox(p.cbExitMouseMove);
        p.SetSeconds(75);
        p.EffectChecks()[9] = true;
    });
    const sim::Registry reg = Machine().registry;
    EXPECT_EQ(reg.ValueNames(kKey).size(), 16u);
    EXPECT_EQ(reg.Get(kKey, "Seconds")->integer, 60);
    EXPECT_EQ(reg.Get(kKey, "Stretch")->integer, 3);
    EXPECT_EQ(reg.Get(kKey, "DisplayOrder")->integer, 2);
    EXPECT_EQ(reg.Get(kKey, "Mute")->integer, 1);
    EXPECT_EQ(reg.Get(kKey, "ExitMouseMove")->integer, 1);
    EXPECT_EQ(reg.Get(kKey, "Effect")->text, std::string({1, 3, 10}));
    EXPECT_TRUE(Machine().shellOpens.empty()) << "no exit link in configuration mode";

    // The saver then runs with what was stored.
    sim::Reset();
    Machine().tempPath = Temp();
    Machine().registry = reg;
    pkg::SaverSettings used;
    Run(saver, {"/s"}, 50, [&](host::TSSWindow& w) { used = w.Settings(); });
    EXPECT_EQ(used.Seconds, 60);
    EXPECT_EQ(used.Stretch, 3);
    EXPECT_TRUE(used.Mute);
    EXPECT_TRUE(used.ExitMouseMove);
}

TEST_F(Configuration, TheCloseBoxSavesLikeTheButton) {
    const std::string saver = Saver();
    sim::At(500, [] {
        for (const auto& w : sim::Windows()) {
            if (w.caption == "Host Test" && w.visible) {
                sim::PostMessage({w.handle, plat::WM_CLOSE, 0, 0});
            }
        }
    });
    EXPECT_TRUE(Ended(Run(saver, {"/c"})));
    EXPECT_EQ(Machine().registry.ValueNames(kKey).size(), 16u);
}

TEST_F(Configuration, TheGroupsFollowThePackage) {
    config::ConfigPanel panel;
    Run(Saver({{"HidePositionTab", true}, {"AllowCustomPlaylist", false}}, {{"WebsiteURL", ""}}), {"/c"}, 50,
        [&](host::TSSWindow& w) { panel = w.Panel(); });
    EXPECT_FALSE(panel.tsPosition.visible);
    EXPECT_TRUE(panel.tsGeneral.visible);
    EXPECT_FALSE(panel.btnWebsite.visible);
    EXPECT_EQ(panel.gbPlaylist.bounds.Height(), 111) << "one track and no own playlist";
    EXPECT_FALSE(panel.rbPlayMyOwn.visible);
    EXPECT_FALSE(panel.cbShuffle.visible);
}

class FlashInstall : public Host {
protected:
    std::string FlashSaver() {
        Put("flash.ocx", Pattern(700, 9));
        Put("a.jpg", Pattern(300, 1));
        return Build({{"strings", {{"SaverName", "Host Test"}}},
                      {"items", {{{"file", "a.jpg"}}}},
                      {"flashPlayer", {{"file", "flash.ocx"}}}});
    }
};

TEST_F(FlashInstall, AMissingControlIsInstalledFromThePackageAndTheWindowMadeAgain) {
    const std::string system = Dir().File("system32");
    std::filesystem::create_directories(system);
    Machine().systemFolder = system;
    Machine().libraries[system + "/FLASH.OCX"] = {false, false, true, true};
    Machine().onProcess = [](const std::string&) { sim::M().flashInstalled = true; };
    const std::string saver = FlashSaver();
    Run(saver, {"/s"}, 100);
    EXPECT_EQ(testing_support::ReadBytes(system + "/FLASH.OCX"), Pattern(700, 9));
    ASSERT_EQ(Machine().processes.size(), 1u);
    EXPECT_EQ(Machine().processes[0].commandLine, system + "\\regsvr32.exe /s " + system + "/FLASH.OCX");
    EXPECT_EQ(Machine().processes[0].showCommand, plat::SW_HIDE);
    EXPECT_TRUE(Machine().messageBoxes.empty());
    EXPECT_TRUE(Traced("Package read"));
}

TEST_F(FlashInstall, WhenTheSecondAttemptFailsTheProgramSaysSoAndEnds) {
    const std::string system = Dir().File("system32");
    std::filesystem::create_directories(system);
    Machine().systemFolder = system;
    EXPECT_EQ(Run(FlashSaver(), {"/s"}), 0);
    ASSERT_EQ(Machine().messageBoxes.size(), 2u);
    EXPECT_EQ(Machine().messageBoxes[0].text, "Unable to register Macromedia Shockwave Flash.");
    EXPECT_EQ(Machine().messageBoxes[1].text, "Unable to find Macromedia Shockwave Flash.");
    EXPECT_EQ(Machine().messageBoxes[1].caption, "Screen Saver");
    EXPECT_EQ(Machine().messageBoxes[1].flags, plat::MB_ICONWARNING);
}

TEST_F(FlashInstall, APackageWithoutAPlayerInstallsNothing) {
    const std::string system = Dir().File("system32");
    std::filesystem::create_directories(system);
    Machine().systemFolder = system;
    EXPECT_FALSE(host::InstallFlashPlayer(Saver(), true));
    EXPECT_FALSE(plat::FileExists(system + "/FLASH.OCX"));
    EXPECT_TRUE(Machine().messageBoxes.empty());
}

}  // namespace
