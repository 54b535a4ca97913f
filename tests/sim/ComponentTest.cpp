// The screen-saver component on a plain form, and the package reader's music steps.

#include <gtest/gtest.h>

#include "common/Random.h"
#include "host/Form.h"
#include "host/ScreenSaver.h"
#include "platform/Shell.h"
#include "platform/sim/SimWindow.h"
#include "tests/sim/SaverRun.h"

namespace {

using testing_support::Json;
using testing_support::Pattern;
using testing_support::SaverRunTest;

class PlainForm : public host::TForm {
public:
    PlainForm() : TForm("Plain", {300, 200}) {}
    std::vector<config::Control*> Panels() override { return {&panel}; }
    config::Control panel{"Panel1", ""};
};

class Component : public SaverRunTest {};

TEST_F(Component, TheMessageStyleShowsItsTextFiresOnceAndEnds) {
    Machine().args = {"/c"};
    const plat::WindowHandle props = sim::AddForeignWindow("Display Properties", {0, 0, 400, 400});
    PlainForm form;
    host::TScreenSaver saver(form);
    int fired = 0;
    bool disabledWhileShown = false;
    saver.OnConfigBoxActive = [&](void*) {
        ++fired;
        disabledWhileShown = !sim::FindWindow(props)->enabled;
    };
    saver.Loaded();  // AutoEnable: activates at once
    ASSERT_EQ(Machine().messageBoxes.size(), 1u);
    EXPECT_EQ(Machine().messageBoxes[0].text, saver.ConfigurationBoxMessage);
    EXPECT_EQ(Machine().messageBoxes[0].flags, plat::MB_OK | plat::MB_ICONINFORMATION);
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(disabledWhileShown);
    EXPECT_TRUE(sim::FindWindow(props)->enabled) << "enabled again after the message";
    EXPECT_LT(form.Window().Bounds().right, 0) << "the form waits off screen";
    EXPECT_EQ(plat::RunMessageLoop(), 0) << "the application was told to end";
}

TEST_F(Component, APanelTheFormDoesNotOwnFallsBackToTheMessageStyle) {
    PlainForm form;
    host::TScreenSaver saver(form);
    config::Control stranger{"Stranger", ""};
    saver.ConfigurationBoxStyle = host::TConfigBoxStyle::cbsPanel;
    saver.ConfigurationBoxPanel = &stranger;
    saver.AutoEnable = false;
    saver.Loaded();
    EXPECT_EQ(saver.ConfigurationBoxStyle, host::TConfigBoxStyle::cbsMessageDlg);
    EXPECT_EQ(saver.ConfigurationBoxPanel, nullptr);

    saver.ConfigurationBoxStyle = host::TConfigBoxStyle::cbsPanel;
    saver.ConfigurationBoxPanel = &form.panel;
    form.panel.visible = true;
    saver.Loaded();
    EXPECT_FALSE(form.panel.visible) << "AutoPanelHide";
}

TEST_F(Component, ConfigurationFromTheDisplaySettingsDisablesThemUntilTheComponentGoes) {
    Machine().args = {"/c"};
    const plat::WindowHandle props = sim::AddForeignWindow("Display Properties", {0, 0, 400, 400});
    {
        PlainForm form;
        host::TScreenSaver saver(form);
        saver.ConfigurationBoxStyle = host::TConfigBoxStyle::cbsPanel;
        saver.ConfigurationBoxPanel = &form.panel;
        saver.AutoEnable = false;
        saver.Loaded();
        saver.Activate();
        EXPECT_FALSE(sim::FindWindow(props)->enabled);
        EXPECT_EQ(sim::ForegroundHandle(), props);
        EXPECT_EQ(form.Window().GetBorderStyle(), plat::BorderStyle::Dialog);
        EXPECT_TRUE(form.panel.visible);
    }
    EXPECT_TRUE(sim::FindWindow(props)->enabled);
    EXPECT_EQ(Machine().screenSaverRunning, false);
}

TEST_F(Component, RunAndWaitReportsAProcessThatCannotStart) {
    Machine().processExitCode = 7;
    EXPECT_EQ(host::RunAndWait("tool.exe /x", plat::SW_HIDE), 7);
    Machine().processExitCode.reset();
    EXPECT_EQ(host::RunAndWait("missing.exe", plat::SW_HIDE), -1);
    ASSERT_EQ(Machine().messageBoxes.size(), 1u);
    EXPECT_EQ(Machine().messageBoxes[0].text, plat::LastErrorText());
    EXPECT_EQ(Machine().messageBoxes[0].flags, plat::MB_OK);
}

class MusicSteps : public SaverRunTest {
protected:
    std::string Saver(const Json& header, int tracks) {
        Json music = Json::array();
        for (int i = 0; i < tracks; ++i) {
            const std::string name = "t" + std::to_string(i) + ".mp3";
            Put(name, Pattern(50, static_cast<std::uint8_t>(i)));
            music.push_back({{"file", name}});
        }
        Put("a.jpg", Pattern(10, 9));
        return Build({{"header", header}, {"strings", {{"SaverName", "Music"}}}, {"items", {{{"file", "a.jpg"}}}},
                      {"music", music}});
    }

    struct Music {
        std::int32_t TrackCount = 0;
        std::int32_t CurrentTrack = -1;
        std::vector<std::string> CustomPlaylist;
    };

    Music Read(const std::string& saver, pkg::Package* package = nullptr) {
        Music music;
        Run(saver, {"/s"}, 10, [&](host::TSSWindow& w) {
            music = {w.Music().Playlist().TrackCount, w.Music().Playlist().CurrentTrack, w.Music().CustomPlaylist()};
            if (package != nullptr) {
                *package = w.Package();
            }
        });
        return music;
    }
};

TEST_F(MusicSteps, OneRandomTrackBecomesTheOnlyOne) {
    // A seed whose first draw out of three is the last track (the program seeds from the clock at 0).
    std::uint32_t seed = 0;
    do {
        core::SetRandSeed(++seed);
    } while (core::Random(3) != 2);
    Machine().seed = seed;
    const std::string saver = Saver({{"PlayOneRandom", true}}, 3);
    const pkg::Package original = pkg::ReadPackage(saver);
    pkg::Package package;
    const Music music = Read(saver, &package);
    EXPECT_EQ(music.TrackCount, 1);
    EXPECT_EQ(music.CurrentTrack, 0);
    ASSERT_EQ(package.sounds.size(), 3u) << "the table keeps its records; only the first is replaced";
    EXPECT_EQ(package.sounds[0], original.sounds[2]);
    EXPECT_EQ(package.sounds[2], original.sounds[2]);

    sim::Reset();
    Machine().tempPath = Temp();
    EXPECT_EQ(Read(Saver({{"PlayOneRandom", true}}, 1)).TrackCount, 1) << "one track: nothing to choose";
}

TEST_F(MusicSteps, TheOwnPlaylistReplacesTheBuiltInTracks) {
    const std::string key = "\\Software\\Tavolisk\\Music";
    Machine().registry.SetInteger(key, "UseCustomPlaylist", 1);
    Machine().registry.SetInteger(key, "PlayOneRandom", 1);
    Machine().registry.SetString(key + "\\PlayList", "item0", "C:\\a.mp3");
    Machine().registry.SetString(key + "\\PlayList", "item1", "");
    Machine().registry.SetString(key + "\\PlayList", "item2", "C:\\c.mp3");
    pkg::Package package;
    const Music music = Read(Saver(Json::object(), 1), &package);
    EXPECT_EQ(music.TrackCount, 1);
    ASSERT_EQ(music.CustomPlaylist.size(), 3u);
    EXPECT_EQ(package.sounds.size(), 3u) << "the sound table follows the playlist's length";
    const std::string picked = music.CustomPlaylist[0];
    EXPECT_TRUE(picked == "C:\\a.mp3" || picked.empty() || picked == "C:\\c.mp3");

    sim::Reset();
    Machine().tempPath = Temp();
    Machine().registry.SetInteger(key, "UseCustomPlaylist", 1);
    Machine().registry.SetInteger(key + "\\PlayList", "item0", 5);
    Run(Saver(Json::object(), 1), {"/s"}, 10);
    ASSERT_EQ(Machine().messageBoxes.size(), 1u) << "a playlist entry that is not a string fails the reading";
    EXPECT_EQ(Machine().messageBoxes[0].text, host::kCanNotRunMessage);
}

}  // namespace
