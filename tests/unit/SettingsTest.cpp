// The settings and the personal playlist in the (simulated) registry, the panel's mapping of the
// settings, and the translation table.

#include <gtest/gtest.h>

#include "config/ConfigPanel.h"
#include "config/PanelSettings.h"
#include "config/Translation.h"
#include "package/PlaylistStore.h"
#include "package/Settings.h"
#include "platform/Registry.h"
#include "tests/support/SimFixture.h"

namespace {

using testing_support::SimTest;

const std::string kKey = "\\Software\\Tavolisk\\Test Saver";
const std::string kPlaylist = kKey + "\\PlayList";

class SettingsStore : public SimTest {
protected:
    sim::Registry& Reg() { return Machine().registry; }

    static pkg::SaverSettings Defaults() {
        pkg::SaverSettings s;
        s.Seconds = 7;
        s.Stretch = 4;
        s.Effect = std::string{1, 5, 115};
        s.ExitESC = true;
        return s;
    }
};

TEST_F(SettingsStore, NoKeyKeepsThePackageDefaults) {
    pkg::SaverSettings s = Defaults();
    pkg::ReadSettings(s, kKey);
    EXPECT_EQ(s, Defaults());
    EXPECT_FALSE(Reg().KeyExists(kKey)) << "reading never creates the key";
}

TEST_F(SettingsStore, EachStoredValueReplacesItsDefault) {
    Reg().SetInteger(kKey, "Seconds", 99);
    Reg().SetInteger(kKey, "ExitMouseMove", 7);  // any value other than 0 is true
    Reg().SetInteger(kKey, "ExitESC", 0);
    Reg().SetString(kKey, "Effect", "");
    Reg().SetInteger(kKey, "UseCustomPlaylist", 1);
    pkg::SaverSettings s = Defaults();
    pkg::ReadSettings(s, kKey);
    EXPECT_EQ(s.Seconds, 99) << "the saver uses the stored number unchanged";
    EXPECT_TRUE(s.ExitMouseMove);
    EXPECT_FALSE(s.ExitESC);
    EXPECT_EQ(s.Effect, "");
    EXPECT_TRUE(s.UseCustomPlaylist);
    EXPECT_EQ(s.Stretch, 4);
}

TEST_F(SettingsStore, AValueOfTheWrongTypeOrANonEffectFailsTheReading) {
    struct Case {
        const char* name;
        std::function<void(sim::Registry&)> store;
    };
    const Case cases[] = {
        {"Seconds as a string", [](sim::Registry& r) { r.SetString(kKey, "Seconds", "5"); }},
        {"a Boolean as binary", [](sim::Registry& r) { r.SetBinary(kKey, "Loop"); }},
        {"Effect as an integer", [](sim::Registry& r) { r.SetInteger(kKey, "Effect", 3); }},
        {"effect 121", [](sim::Registry& r) { r.SetString(kKey, "Effect", std::string{1, 121}); }},
        {"effect 200", [](sim::Registry& r) { r.SetString(kKey, "Effect", std::string{static_cast<char>(200)}); }},
        // The whole stored string counts: a zero byte is effect 0, not the end of the selection.
        {"a zero byte between effects", [](sim::Registry& r) { r.SetString(kKey, "Effect", std::string{1, 0, 5}); }},
    };
    for (const Case& c : cases) {
        Reg().DeleteKey(kKey);
        c.store(Reg());
        pkg::SaverSettings s = Defaults();
        EXPECT_THROW(pkg::ReadSettings(s, kKey), pkg::SettingsError) << c.name;
    }
    Reg().DeleteKey(kKey);
    Reg().SetString(kKey, "Effect", std::string{120, 1});
    pkg::SaverSettings s = Defaults();
    EXPECT_NO_THROW(pkg::ReadSettings(s, kKey));
}

TEST_F(SettingsStore, WritingStoresEverySixteenValuesWithTheirTypes) {
    pkg::SaverSettings s = Defaults();
    s.UseCustomPlaylist = true;
    pkg::WriteSettings(s, kKey);
    const auto names = Reg().ValueNames(kKey);
    EXPECT_EQ(names, (std::vector<std::string>{"Seconds", "Stretch", "DisplayOrder", "DesktopStart", "Loop", "Mute",
                                                "ShuffleMelody", "Effect", "EffectSpeed", "PlayOneRandom",
                                                "ExitMouseMove", "ExitMouseButton", "ExitKeyboard", "ExitESC",
                                                "UseCustomPlaylist", "DisableTwoMonitors"}));
    EXPECT_EQ(Reg().Get(kKey, "Effect")->type, sim::RegValue::Type::String);
    EXPECT_EQ(Reg().Get(kKey, "ExitESC")->integer, 1);
    pkg::SaverSettings back;
    pkg::ReadSettings(back, kKey);
    EXPECT_EQ(back, s);
}

TEST_F(SettingsStore, PresentationEndsByEscOnly) {
    pkg::SaverSettings s;
    s.ExitMouseMove = s.ExitMouseButton = s.ExitKeyboard = true;
    pkg::ApplyPresentationExit(s);
    EXPECT_FALSE(s.ExitMouseMove || s.ExitMouseButton || s.ExitKeyboard);
    EXPECT_TRUE(s.ExitESC);
}

class PanelMapping : public SimTest {};

TEST_F(PanelMapping, EveryStretchCodeShowsAndStoresItself) {
    for (int code = 0; code <= 5; ++code) {
        config::ConfigPanel panel;
        pkg::SaverSettings s;
        s.Stretch = code;
        config::ApplySettingsToPanel(s, panel, 1);
        EXPECT_EQ(config::SettingsFromPanel(panel).Stretch, code);
        EXPECT_EQ(panel.gbPosition.enabled, code >= 2) << code;
    }
    config::ConfigPanel panel;
    pkg::SaverSettings s;
    s.Stretch = 9;  // unknown: the designed "resize to fit" stays
    config::ApplySettingsToPanel(s, panel, 1);
    EXPECT_TRUE(panel.rbSizeResize.checked);
    EXPECT_EQ(config::SettingsFromPanel(panel).Stretch, 0);
}

TEST_F(PanelMapping, SwitchingBackToResizeDropsTheRandomPosition) {
    config::ConfigPanel panel;
    pkg::SaverSettings s;
    config::ApplySettingsToPanel(s, panel, 1);
    panel.ClickRadio(panel.rbSizeNone);
    panel.ClickRadio(panel.rbPosRandom);
    EXPECT_EQ(config::SettingsFromPanel(panel).Stretch, 3);
    panel.ClickRadio(panel.rbSizeResize);
    EXPECT_FALSE(panel.gbPosition.enabled);
    EXPECT_EQ(config::SettingsFromPanel(panel).Stretch, 0);
}

TEST_F(PanelMapping, OrderSpeedSecondsAndEffectsRoundTrip) {
    config::ConfigPanel panel;
    pkg::SaverSettings s;
    s.DisplayOrder = 2;
    s.Seconds = 75;
    s.EffectSpeed = 0;
    s.Effect = std::string{10, 2, 10, 1};
    config::ApplySettingsToPanel(s, panel, 2);
    const pkg::SaverSettings back = config::SettingsFromPanel(panel);
    EXPECT_EQ(back.DisplayOrder, 2);
    EXPECT_EQ(back.Seconds, 60) << "the spin edit keeps 1 to 60";
    EXPECT_EQ(back.EffectSpeed, 1) << "the track bar keeps 1 to 10";
    EXPECT_EQ(back.Effect, std::string({1, 2, 10})) << "list order, each effect once";
    EXPECT_TRUE(panel.gbDualMonitor.visible);
}

TEST_F(PanelMapping, TheLastExitConditionCannotBeUnchecked) {
    config::ConfigPanel panel;
    panel.ClickCheckBox(panel.cbExitMouseMove);
    panel.ClickCheckBox(panel.cbExitMouseButton);
    panel.ClickCheckBox(panel.cbExitKeyboard);
    EXPECT_FALSE(panel.cbExitKeyboard.checked);
    panel.ClickCheckBox(panel.cbExitEscape);
    EXPECT_TRUE(panel.cbExitEscape.checked);
}

class PlaylistStore : public SimTest {
protected:
    sim::Registry& Reg() { return Machine().registry; }
};

TEST_F(PlaylistStore, ShorteningDeletesOnlyTheNextEntry) {
    pkg::SaveCustomPlayList({"a", "b", "c", "d", "e"}, kPlaylist);
    pkg::SaveCustomPlayList({"x", "y"}, kPlaylist);
    EXPECT_EQ(Reg().ValueNames(kPlaylist), (std::vector<std::string>{"item0", "item1", "item3", "item4"}));
    EXPECT_EQ(pkg::LoadCustomPlayList(kPlaylist), (std::vector<std::string>{"x", "y"}));
    pkg::SaveCustomPlayList({}, kPlaylist);
    EXPECT_TRUE(pkg::LoadCustomPlayList(kPlaylist).empty());
    EXPECT_TRUE(pkg::LoadCustomPlayListNoWindow(kPlaylist).empty());
}

TEST_F(PlaylistStore, EmptyValuesAreSkippedForTheEditorButKeptForPlayback) {
    Reg().SetString(kPlaylist, "item0", "C:\\a.mp3");
    Reg().SetString(kPlaylist, "item1", "");
    Reg().SetString(kPlaylist, "item2", "C:\\c.mp3");
    EXPECT_EQ(pkg::LoadCustomPlayList(kPlaylist), (std::vector<std::string>{"C:\\a.mp3", "C:\\c.mp3"}));
    EXPECT_EQ(pkg::LoadCustomPlayListNoWindow(kPlaylist), (std::vector<std::string>{"C:\\a.mp3", "", "C:\\c.mp3"}));
}

TEST_F(PlaylistStore, IndexesAreDecimalAndAnyOperationCreatesTheKey) {
    std::vector<std::string> twelve;
    for (int i = 0; i < 12; ++i) {
        twelve.push_back("song" + std::to_string(i));
    }
    pkg::SaveCustomPlayList(twelve, kPlaylist);
    EXPECT_EQ(Reg().Get(kPlaylist, "item10")->text, "song10");
    EXPECT_EQ(pkg::LoadCustomPlayListNoWindow(kPlaylist), twelve);

    const std::string other = kKey + "2\\PlayList";
    EXPECT_TRUE(pkg::LoadCustomPlayList(other).empty());
    EXPECT_TRUE(Reg().KeyExists(other));
}

TEST_F(PlaylistStore, ANonStringEntryIsTheCallersError) {
    Reg().SetInteger(kPlaylist, "item0", 5);
    EXPECT_THROW(pkg::LoadCustomPlayListNoWindow(kPlaylist), plat::RegistryError);
}

class TranslationTable : public ::testing::Test {
protected:
    ~TranslationTable() override { config::FreeTranslationTable(); }
};

TEST_F(TranslationTable, OnlyPairsOfTheNamedSectionCount) {
    EXPECT_EQ(config::Translate("Close"), "Close") << "no table: unchanged";
    config::BuildTranslationTable("Close=Before\r\nScreen Saver\r\nClose=Fermer\r\nOther\nAbout=Ignored", "Screen Saver");
    EXPECT_EQ(config::Translate("Close"), "Fermer");
    EXPECT_EQ(config::Translate("About"), "About");
    config::BuildTranslationTable("screen saver\nClose=Nope\n Screen Saver\nClose=Nope", "Screen Saver");
    EXPECT_EQ(config::Translate("Close"), "Close") << "section names are exact: case and blanks count";
    config::BuildTranslationTable("A\rClose=Shut=Down\rClose=Second", "");
    EXPECT_EQ(config::Translate("Close"), "Shut=Down") << "an empty section takes every pair; the first key wins";
}

TEST_F(TranslationTable, LineBreaksTravelAsHash13) {
    config::BuildTranslationTable("Screen Saver\nTwo#13Lines=Deux#13Lignes\n\nClose=Fermer", "Screen Saver");
    EXPECT_EQ(config::Translate("Two\r\nLines"), "Deux\r\nLignes");
    EXPECT_EQ(config::Translate("Close"), "Fermer") << "a blank line keeps the section";
}

TEST_F(TranslationTable, RenamingKeepsTheSuffixesOutOfTheKeys) {
    config::BuildTranslationTable(
        "Screen Saver\nAbout=A propos\n&Resize to fit screen=&Ajuster\nGeneral=Général\nClose=Fermer", "Screen Saver");
    config::ConfigPanel panel;
    panel.RenameFormControls();
    EXPECT_EQ(panel.btnAbout.caption, "A propos...");
    EXPECT_EQ(panel.btnWebsite.caption, "Website...");
    EXPECT_EQ(panel.rbSizeResize.caption, "&Ajuster *");
    EXPECT_EQ(panel.tsGeneral.caption, "Général");
    EXPECT_EQ(panel.GroupBox10.caption, "Général");
    EXPECT_EQ(panel.btnClose.caption, "Fermer");
    EXPECT_EQ(panel.gbDualMonitor.caption, "Dual Monitor Support") << "not translated";
}

}  // namespace
