// The maker window on the simulated machine, operated through its controls as a user would: adding,
// refusing, ordering and describing items, music and sounds, the look and the effects, saving and
// opening the project, building, trying and installing the saver.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/Flags.h"
#include "platform/WinConst.h"
#include "platform/sim/SimControls.h"
#include "platform/sim/SimSurface.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/Savers.h"
#include "tools/ssmaker/MakerForm.h"
#include "tools/ssmaker/Thumbnail.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/FileIo.h"

namespace {

using plat::ControlEvent;
using testing_support::Bytes;
using testing_support::Json;

class Maker : public testing_support::SaverTest {
protected:
    Maker() {
        core::ResetFlags();
        Machine().ownFile = Path("ssmaker.exe");
        Put("saver.scr", testing_support::FakeRuntime());
        form_ = std::make_unique<maker::TMakerForm>();
    }
    ~Maker() override {
        form_.reset();
        maker::TBuildJob::WaitForAll();
    }

    maker::TMakerForm& Form() { return *form_; }
    maker::TProject& Project() { return form_->Project(); }

    void PutJpeg(const std::string& name, int width, int height, gfx::Color32 colour) {
        Put(name, testing_support::EncodeJpeg(gfx::TBitmap32(width, height, colour)));
    }
    void PutPng(const std::string& name, int width, int height, gfx::Color32 colour) {
        Put(name, testing_support::EncodePng(gfx::TBitmap32(width, height, colour)));
    }

    // A user's action now, as the real control would raise it.
    void Act(ControlEvent event) { sim::Act(form_->Window().Handle(), event); }
    void Click(const std::string& name) { Act({ControlEvent::Kind::Click, name}); }
    void Select(const std::string& name, int line) { Act({ControlEvent::Kind::Select, name, line}); }
    void Type(const std::string& name, const std::string& text) {
        Act({ControlEvent::Kind::Edited, name, 0, text});
    }
    void Change(const std::string& name, int value) { Act({ControlEvent::Kind::Change, name, value}); }

    plat::Control Shown(const std::string& name) {
        const auto shown = sim::ShownControl(form_->Window().Handle(), name);
        EXPECT_TRUE(shown.has_value()) << name;
        return shown.value_or(plat::Control{});
    }

    // Runs the window's loop until `until` holds or virtual time has passed `limit` more.
    void RunUntil(const std::function<bool()>& until, std::uint64_t limit = 60000) {
        const std::uint64_t end = sim::Now() + limit;
        bool timedOut = false;
        sim::At(end, [&timedOut] { timedOut = true; });
        plat::RunModalLoop([&] { return timedOut || until(); });
    }
    // Until files being taken in, or a build, have ended.
    void Settle() {
        RunUntil([this] { return !Form().Busy(); });
    }
    void Wait(std::uint64_t ms) {
        RunUntil([] { return false; }, ms);
    }

    void AnswerOpen(std::vector<std::string> names) {
        for (auto& name : names) {
            name = Path(name);
        }
        Machine().openFileAnswers.push_back(std::move(names));
    }

    std::vector<std::string> Items() {
        std::vector<std::string> files;
        for (std::size_t i = 0; i < Project().ItemCount(); ++i) {
            files.push_back(std::filesystem::path(Project().ItemFile(i)).filename().string());
        }
        return files;
    }

    std::string LastMessage() {
        return Machine().messageBoxes.empty() ? std::string() : Machine().messageBoxes.back().text;
    }

    Json Saved(const std::string& name) {
        std::ifstream in(Path(name));
        return Json::parse(in);
    }

    std::unique_ptr<maker::TMakerForm> form_;
};

TEST_F(Maker, AddPicturesRefusesWhatTheSaverCouldNotShowWithTheBuildersOwnReason) {
    PutJpeg("a.jpg", 64, 48, 0xFFFF0000);
    PutPng("b.png", 30, 60, 0xFF00FF00);
    Put("broken.jpg", testing_support::Pattern(500, 3));
    Put("notes.txt", testing_support::Text(100, 'n'));
    AnswerOpen({"a.jpg", "broken.jpg", "b.png", "notes.txt"});
    Click("btnAddPictures");
    Settle();

    EXPECT_EQ(Items(), (std::vector<std::string>{"a.jpg", "b.png"}));
    const auto list = Shown("lvItems");
    EXPECT_EQ(list.items, (std::vector<std::string>{"a.jpg", "b.png"}));
    ASSERT_EQ(list.pictures.size(), 2u);
    ASSERT_NE(list.pictures[0], nullptr);
    EXPECT_EQ(list.pictures[0]->Width(), maker::TMakerControls::kThumbnail);
    ASSERT_NE(list.pictures[1], nullptr);
    EXPECT_EQ(list.pictures[1]->Height(), maker::TMakerControls::kThumbnail);
    EXPECT_EQ(list.itemIndex, 1);  // the last one added
    EXPECT_EQ(Shown("lblItems").caption, "2 pictures and videos");

    ASSERT_EQ(Machine().messageBoxes.size(), 1u);
    const std::string message = LastMessage();
    for (const char* refused : {"broken.jpg", "notes.txt"}) {
        const auto reason = sspack::ItemProblem(Path(refused), refused == std::string("broken.jpg") ? ".JPG" : ".TXT");
        ASSERT_TRUE(reason.has_value());
        EXPECT_NE(message.find(Path(refused) + ": " + *reason), std::string::npos) << message;
    }
}

TEST_F(Maker, AddFolderTakesWhatTheSaverShowsInNameOrderAndDroppedFilesAndFoldersAddToo) {
    std::filesystem::create_directory(Path("holiday"));
    PutJpeg("holiday/B.jpg", 20, 20, 0xFF0000FF);
    PutJpeg("holiday/a.jpg", 20, 20, 0xFF00FF00);
    PutPng("holiday/c.png", 20, 20, 0xFFFF0000);
    Put("holiday/readme.txt", testing_support::Text(50, 'r'));
    Machine().folderAnswers.push_back(Path("holiday"));
    Click("btnAddFolder");
    Settle();
    EXPECT_EQ(Items(), (std::vector<std::string>{"a.jpg", "B.jpg", "c.png"}));
    EXPECT_TRUE(Machine().messageBoxes.empty());

    PutJpeg("dropped.jpg", 20, 20, 0xFFFFFFFF);
    Act({ControlEvent::Kind::Drop, "lvItems", 0, "", {Path("dropped.jpg"), Path("holiday")}});
    Settle();
    EXPECT_EQ(Items(), (std::vector<std::string>{"a.jpg", "B.jpg", "c.png", "dropped.jpg", "a.jpg", "B.jpg",
                                                 "c.png"}));

    // A cancelled picker adds nothing.
    Click("btnAddFolder");
    Settle();
    EXPECT_EQ(Project().ItemCount(), 7u);
}

TEST_F(Maker, FilesComeInOnAThreadOfTheirOwnAndCancelAddsNone) {
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) {
        names.push_back("p" + std::to_string(i) + ".jpg");
        PutJpeg(names.back(), 40, 30, 0xFF808080);
    }
    AnswerOpen(names);
    Click("btnAddPictures");
    EXPECT_TRUE(Form().Busy());
    for (const char* button : {"btnAddPictures", "btnAddFolder", "btnOpen", "btnBuild"}) {
        EXPECT_FALSE(Shown(button).enabled) << button;
    }
    EXPECT_TRUE(Shown("btnCancel").enabled);
    RunUntil([this] { return Form().Ui().pbBuild.value > 0; });
    EXPECT_EQ(Shown("pbBuild").maximum, 6);
    Click("btnCancel");
    Settle();
    EXPECT_EQ(Project().ItemCount(), 0u);
    EXPECT_EQ(Shown("lblStatus").caption, "Nothing added");
    EXPECT_TRUE(Shown("btnAddPictures").enabled);
    EXPECT_FALSE(Shown("btnCancel").enabled);

    AnswerOpen(names);
    Click("btnAddPictures");
    Settle();
    EXPECT_EQ(Project().ItemCount(), 6u);
    EXPECT_EQ(Shown("lblStatus").caption, "Added 6 of 6");

    // The window closing while files come in ends the work without a word.
    AnswerOpen(names);
    Click("btnAddPictures");
    form_.reset();
    maker::WaitForJobs();
    EXPECT_EQ(sim::WorkersInBody(), 0);
}

TEST_F(Maker, RemoveAndMoveKeepTheSelectionOnTheItemAndDescribeIt) {
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg"}) {
        PutJpeg(name, 20, 20, 0xFF808080);
    }
    Put("ding.wav", testing_support::SilentWav(100));
    Put("dong.wav", testing_support::SilentWav(100));
    AnswerOpen({"1.jpg", "2.jpg", "3.jpg"});
    Click("btnAddPictures");
    Settle();
    AnswerOpen({"ding.wav", "dong.wav"});
    Click("btnAddSound");

    Select("lvItems", 0);
    EXPECT_FALSE(Shown("btnMoveUp").enabled);
    Click("btnMoveDown");
    EXPECT_EQ(Items(), (std::vector<std::string>{"2.jpg", "1.jpg", "3.jpg"}));
    EXPECT_EQ(Shown("lvItems").itemIndex, 1);
    Type("edCaption", "Grandma's garden");
    Change("edItemSeconds", 12);
    Select("cbItemSize", 2);   // stretch
    Select("cbItemSound", 2);  // dong.wav
    EXPECT_EQ(Shown("lvItems").items[1], "1.jpg - Grandma's garden");

    Select("lvItems", 2);
    EXPECT_FALSE(Shown("btnMoveDown").enabled);
    EXPECT_EQ(Shown("edCaption").caption, "");
    Click("btnMoveUp");
    EXPECT_EQ(Items(), (std::vector<std::string>{"2.jpg", "3.jpg", "1.jpg"}));
    Select("lvItems", 2);
    EXPECT_EQ(Shown("edCaption").caption, "Grandma's garden");
    EXPECT_EQ(Shown("edItemSeconds").value, 12);
    EXPECT_EQ(Shown("cbItemSize").itemIndex, 2);
    EXPECT_EQ(Shown("cbItemSound").items, (std::vector<std::string>{"None", "ding.wav", "dong.wav"}));
    EXPECT_EQ(Shown("cbItemSound").itemIndex, 2);

    // The first entry sound goes: the item keeps its own sound, now the first.
    Select("lbSounds", 0);
    Click("btnRemoveSound");
    EXPECT_EQ(Project().ItemEnterSound(2), 0);

    Select("lvItems", 0);
    Click("btnRemove");
    EXPECT_EQ(Items(), (std::vector<std::string>{"3.jpg", "1.jpg"}));
    EXPECT_EQ(Shown("lvItems").itemIndex, 0);
    Click("btnRemove");
    Click("btnRemove");
    EXPECT_EQ(Project().ItemCount(), 0u);
    EXPECT_FALSE(Shown("btnRemove").enabled);
    EXPECT_FALSE(Shown("edCaption").enabled);

    Machine().saveFileAnswers.push_back(Path("p.json"));
    Click("btnSave");
    EXPECT_FALSE(Saved("p.json").contains("items") && !Saved("p.json")["items"].empty());
}

TEST_F(Maker, MusicIsAddedCheckedOrderedAndRemoved) {
    Put("one.wav", testing_support::SilentWav(100));
    Put("two.wav", testing_support::SilentWav(100));
    Put("bad.mp3", testing_support::Pattern(300, 9));
    AnswerOpen({"one.wav", "bad.mp3", "two.wav"});
    Click("btnAddMusic");
    EXPECT_EQ(Shown("lbMusic").items, (std::vector<std::string>{"one.wav", "two.wav"}));
    ASSERT_EQ(Machine().messageBoxes.size(), 1u);
    EXPECT_NE(LastMessage().find(Path("bad.mp3") + ": "), std::string::npos) << LastMessage();

    Select("lbMusic", 1);
    Click("btnMusicUp");
    EXPECT_EQ(Shown("lbMusic").items, (std::vector<std::string>{"two.wav", "one.wav"}));
    EXPECT_EQ(Shown("lbMusic").itemIndex, 0);
    Click("btnMusicUp");  // already first
    Click("btnMusicDown");
    EXPECT_EQ(Shown("lbMusic").items, (std::vector<std::string>{"one.wav", "two.wav"}));
    Click("cbLoop");
    Click("cbShuffle");
    Click("btnRemoveMusic");
    EXPECT_EQ(Shown("lbMusic").items, (std::vector<std::string>{"one.wav"}));
    EXPECT_TRUE(Shown("cbLoop").checked);

    Machine().saveFileAnswers.push_back(Path("music.json"));
    Click("btnSave");
    const Json saved = Saved("music.json");
    EXPECT_EQ(saved["music"], Json::parse(R"([{"file": "one.wav"}])"));
    EXPECT_EQ(saved["header"]["Loop"], true);
    EXPECT_EQ(saved["header"]["ShuffleMelody"], true);
}

TEST_F(Maker, TheLookAndBehaviourGoIntoTheManifestAsTheBuilderReadsThem) {
    PutJpeg("a.jpg", 20, 20, 0xFF808080);
    PutPng("logo.png", 16, 16, 0xFFFFFFFF);
    AnswerOpen({"a.jpg"});
    Click("btnAddPictures");
    Settle();
    Type("edName", "Garden Show");
    Change("edSeconds", 9);
    Select("cbOrder", 2);
    Select("cbSize", 4);
    Machine().colorAnswers.push_back(0x00332211);
    Click("btnColor1");
    Click("btnColor2");  // cancelled: stays black
    Select("cbGradient", 3);
    AnswerOpen({"logo.png"});
    Click("btnLogo");
    Select("cbLogoPosition", 4);
    Change("tbEffectSpeed", 8);
    Click("btnSelectNone");
    Act({ControlEvent::Kind::Toggle, "lbEffects", 114});
    Act({ControlEvent::Kind::Toggle, "lbEffects", 2});
    Click("cbWallpaperKey");
    Click("cbMainMonitorOnly");
    // The last way out stays.
    Click("cbExitMouseMove");
    Click("cbExitMouseButton");
    Click("cbExitKeyboard");
    Click("cbExitEscape");
    EXPECT_TRUE(Shown("cbExitEscape").checked);
    EXPECT_EQ(Shown("lblColor1").caption, "#112233");
    EXPECT_EQ(Shown("lblLogo").caption, "logo.png");
    EXPECT_EQ(Shown("lbEffects").checks[114], true);
    EXPECT_EQ(Shown("lbEffects").checks[0], false);

    const sspack::Manifest m = Project().ToManifest();
    EXPECT_EQ(m.strings[pkg::PackageString::SaverName], "Garden Show");
    EXPECT_EQ(m.header.Seconds, 9);
    EXPECT_EQ(m.header.DisplayOrder, 2);
    EXPECT_EQ(m.header.Stretch, 4);
    EXPECT_EQ(m.header.BackgroundColor, 0x00332211);
    EXPECT_EQ(m.header.BackgroundColor2, 0);
    EXPECT_EQ(m.header.GradientStyle, 3);
    EXPECT_EQ(m.header.LogoPosition, 4);
    EXPECT_EQ(m.header.LogoExt, ".PNG");
    EXPECT_EQ(m.logo, Path("logo.png"));
    EXPECT_EQ(m.header.EffectSpeed, 8);
    EXPECT_EQ(m.strings[pkg::PackageString::Effect], std::string({3, 115}));
    EXPECT_TRUE(m.header.AllowWallpaperKey);
    EXPECT_TRUE(m.header.DisableTwoMonitors);
    EXPECT_FALSE(m.header.ExitMouseMove || m.header.ExitMouseButton || m.header.ExitKeyboard);
    EXPECT_TRUE(m.header.ExitESC);

    Click("btnNoLogo");
    EXPECT_TRUE(Project().ToManifest().logo.empty());
    EXPECT_EQ(Shown("lblLogo").caption, "No logo");
    Click("btnSelectAll");
    EXPECT_EQ(Project().ToManifest().strings[pkg::PackageString::Effect].size(), 120u);
}

TEST_F(Maker, ASavedProjectOpensAsItWasAndKeepsWhatTheWindowDoesNotShow) {
    PutJpeg("a.jpg", 20, 20, 0xFF808080);
    PutJpeg("b.jpg", 20, 20, 0xFF404040);
    Put("mask.png", testing_support::EncodePng(gfx::TBitmap32(8, 8, 0xFFFFFFFF)));
    // A manifest written by hand, with pieces the window has no control for.
    const Json manifest = Json::parse(R"({
        "header": {"Seconds": 7, "RandomColors": true},
        "strings": {"SaverName": "Hand Made", "AboutText": "by hand"},
        "masks": [{"file": "mask.png"}],
        "items": [{"file": "a.jpg", "mask": 0, "filters": ["grey"],
                   "caption": {"text": "A", "color": "#FF0000", "size": 20}},
                  {"file": "b.jpg"}],
        "overrides": {"stringLengths": {"5": 0}}
    })");
    std::filesystem::create_directory(Path("project"));
    std::filesystem::rename(Path("a.jpg"), Path("project/a.jpg"));
    std::filesystem::rename(Path("b.jpg"), Path("project/b.jpg"));
    std::filesystem::rename(Path("mask.png"), Path("project/mask.png"));
    std::ofstream(Path("project/hand.json")) << manifest.dump(2);

    ASSERT_TRUE(Form().OpenProject(Path("project/hand.json"))) << LastMessage();
    Settle();
    EXPECT_EQ(Shown("lvItems").items, (std::vector<std::string>{"a.jpg - A", "b.jpg"}));
    EXPECT_EQ(Shown("edName").caption, "Hand Made");
    EXPECT_EQ(Shown("edSeconds").value, 7);
    EXPECT_NE(Shown("lvItems").pictures[0], nullptr);
    EXPECT_EQ(Shown("txtKept").caption,
              "Set in the project file, and kept as it is written there: RandomColors, AboutText, items' caption "
              "styles, items' filters, items' mask, 1 mask, overrides");
    Select("lvItems", 0);
    Type("edCaption", "A garden");
    EXPECT_TRUE(Project().Modified());
    Click("btnSave");  // saved where it came from, no question asked
    EXPECT_TRUE(Machine().saveFileRequests.empty());

    Json expected = manifest;
    expected["items"][0]["caption"]["text"] = "A garden";
    EXPECT_EQ(Saved("project/hand.json"), expected);

    // Saved elsewhere, its file names follow it.
    std::filesystem::create_directory(Path("elsewhere"));
    const sspack::Manifest before = Project().ToManifest();
    Machine().saveFileAnswers.push_back(Path("elsewhere/copy.json"));
    form_ = std::make_unique<maker::TMakerForm>();
    ASSERT_TRUE(Form().OpenProject(Path("project/hand.json")));
    Settle();
    Project().Save(Path("elsewhere/copy.json"));
    EXPECT_EQ(Saved("elsewhere/copy.json")["items"][1]["file"], "../project/b.jpg");
    EXPECT_EQ(sspack::LoadManifest(Path("elsewhere/copy.json")), before);
}

TEST_F(Maker, AProjectTheBuilderWouldRefuseIsNotOpenedAndSaysWhy) {
    std::ofstream(Path("bad.json")) << R"({"header": {"Seconds": 99}})";
    PutJpeg("a.jpg", 20, 20, 0xFF808080);
    AnswerOpen({"a.jpg"});
    Click("btnAddPictures");
    Settle();
    Machine().saveFileAnswers.push_back(Path("good.json"));
    Click("btnSave");

    AnswerOpen({"bad.json"});
    Click("btnOpen");
    ASSERT_FALSE(Machine().messageBoxes.empty());
    EXPECT_NE(LastMessage().find("header.Seconds"), std::string::npos) << LastMessage();
    EXPECT_EQ(Project().Path(), Path("good.json"));
    EXPECT_EQ(Project().ItemCount(), 1u);

    std::ofstream(Path("notjson.json")) << "{";
    EXPECT_FALSE(Form().OpenProject(Path("notjson.json")));
    EXPECT_NE(LastMessage().find("not JSON"), std::string::npos);
}

TEST_F(Maker, AProjectWhosePicturesMovedOpensToBeMendedAndBuildsOnceTheyAreOut) {
    PutJpeg("a.jpg", 20, 20, 0xFF808080);
    std::ofstream(Path("moved.json")) << R"({"items": [{"file": "a.jpg"}, {"file": "gone.jpg", "caption": {"text": "G"}},
                                                      {"file": "gone.png"}],
                                            "logo": {"file": "logo-gone.png"}})";
    ASSERT_TRUE(Form().OpenProject(Path("moved.json"))) << LastMessage();
    Settle();
    EXPECT_EQ(Shown("lvItems").items,
              (std::vector<std::string>{"a.jpg", "gone.jpg - G (missing)", "gone.png (missing)"}));
    ASSERT_EQ(Machine().messageBoxes.size(), 1u);
    for (const char* name : {"gone.jpg", "gone.png", "logo-gone.png"}) {
        EXPECT_NE(LastMessage().find(Path(name)), std::string::npos) << name;
    }

    // Building now says which file is not there, before it asks where to write.
    Click("btnBuild");
    EXPECT_NE(LastMessage().find("items[1].file: \"gone.jpg\" is not a readable file"), std::string::npos)
        << LastMessage();
    EXPECT_FALSE(Form().Building());
    EXPECT_TRUE(Machine().saveFileRequests.empty());
    Machine().saveFileAnswers.push_back(Path("moved.scr"));

    Select("lvItems", 1);
    Click("btnRemove");
    Click("btnRemove");
    Click("btnNoLogo");
    Click("btnBuild");
    Settle();
    EXPECT_EQ(Shown("lblStatus").caption, "Built moved.scr");
}

TEST_F(Maker, ClosingWithChangesAsksToSaveAndCancelKeepsTheWindow) {
    PutJpeg("a.jpg", 20, 20, 0xFF808080);
    AnswerOpen({"a.jpg"});
    Click("btnAddPictures");
    Settle();
    const plat::WindowHandle window = Form().Window().Handle();
    bool showingAfterCancel = false;
    Machine().messageBoxAnswers = {plat::IDCANCEL, plat::IDYES};
    sim::At(sim::Now() + 100, [=] { sim::PostMessage({window, plat::WM_CLOSE, 0, 0}); });
    sim::At(sim::Now() + 200, [&] { showingAfterCancel = Form().Showing(); });
    // Yes, and then the save dialog is cancelled: the window stays.
    sim::At(sim::Now() + 300, [=] { sim::PostMessage({window, plat::WM_CLOSE, 0, 0}); });
    sim::At(sim::Now() + 400, [&] {
        EXPECT_TRUE(Form().Showing());
        Machine().messageBoxAnswers = {plat::IDYES};
        Machine().saveFileAnswers.push_back(Path("closing.json"));
        sim::PostMessage({window, plat::WM_CLOSE, 0, 0});
    });
    sim::At(sim::Now() + 60000, [&] { Form().Close(); });
    Form().ShowModal();
    EXPECT_TRUE(showingAfterCancel);
    ASSERT_EQ(Machine().messageBoxes.size(), 3u);
    EXPECT_EQ(Machine().messageBoxes[0].text, "Save the changes to the project?");
    EXPECT_LT(sim::Now(), 60000u);
    EXPECT_EQ(Saved("closing.json")["items"].size(), 1u);

    // Unchanged since saved: it closes without a question.
    form_ = std::make_unique<maker::TMakerForm>();
    ASSERT_TRUE(Form().OpenProject(Path("closing.json")));
    Settle();
    const plat::WindowHandle second = Form().Window().Handle();
    sim::At(sim::Now() + 100, [=] { sim::PostMessage({second, plat::WM_CLOSE, 0, 0}); });
    const std::uint64_t start = sim::Now();
    sim::At(start + 60000, [&] { Form().Close(); });
    Form().ShowModal();
    EXPECT_LT(sim::Now(), start + 60000);
    EXPECT_EQ(Machine().messageBoxes.size(), 3u);
}

TEST_F(Maker, BuildWritesWhatSspackWritesFromTheSavedProjectAndTryInstallFollow) {
    PutJpeg("a.jpg", 40, 30, 0xFF808080);
    PutPng("b.png", 30, 40, 0xFF204080);
    Put("m.wav", testing_support::SilentWav(200));
    AnswerOpen({"a.jpg", "b.png"});
    Click("btnAddPictures");
    Settle();
    AnswerOpen({"m.wav"});
    Click("btnAddMusic");
    Type("edName", "Built Show");
    Select("lvItems", 1);
    Type("edCaption", "B");
    EXPECT_FALSE(Shown("btnTry").enabled);

    Machine().saveFileAnswers.push_back(Path("show.json"));
    Click("btnSave");
    Machine().saveFileAnswers.push_back(Path("out/Built Show.scr"));
    std::filesystem::create_directory(Path("out"));
    Click("btnBuild");
    ASSERT_EQ(Machine().saveFileRequests.size(), 2u);
    EXPECT_EQ(Machine().saveFileRequests[1].fileName, "Built Show.scr");
    EXPECT_EQ(Machine().saveFileRequests[1].initialFolder, Dir().Path());
    EXPECT_TRUE(Form().Building());
    EXPECT_FALSE(Shown("btnBuild").enabled);
    EXPECT_TRUE(Shown("btnCancel").enabled);
    RunUntil([this] { return !Form().Building(); });
    EXPECT_EQ(Shown("lblStatus").caption, "Built Built Show.scr");
    EXPECT_EQ(Shown("pbBuild").value, Shown("pbBuild").maximum);
    EXPECT_GT(Shown("pbBuild").maximum, 0);

    sspack::BuildPackageFile(sspack::LoadManifest(Path("show.json")), sspack::ReadFileBytes(Path("saver.scr")),
                             Path("reference.scr"));
    EXPECT_EQ(sspack::ReadFileBytes(Path("out/Built Show.scr")), sspack::ReadFileBytes(Path("reference.scr")));

    // A second build asks no more, and writes over the first.
    Type("edCaption", "B again");
    Click("btnBuild");
    EXPECT_EQ(Machine().saveFileRequests.size(), 2u);
    RunUntil([this] { return !Form().Building(); });

    ASSERT_TRUE(Shown("btnTry").enabled);
    Click("btnTry");
    Click("btnSettings");
    ASSERT_EQ(Machine().processes.size(), 2u);
    EXPECT_EQ(Machine().processes[0].commandLine, "\"" + Path("out/Built Show.scr") + "\" /s");
    EXPECT_FALSE(Machine().processes[0].waited);
    EXPECT_EQ(Machine().processes[1].commandLine, "\"" + Path("out/Built Show.scr") + "\" /c");

    Machine().localAppDataFolder = Dir().Path();
    Click("btnInstall");
    const std::string installed = Path("Screen Savers/Built Show.scr");
    EXPECT_EQ(sspack::ReadFileBytes(installed), sspack::ReadFileBytes(Path("out/Built Show.scr")));
    EXPECT_NE(LastMessage().find("Built Show is now your screen saver"), std::string::npos) << LastMessage();
    EXPECT_NE(LastMessage().find(installed), std::string::npos) << LastMessage();
}

TEST_F(Maker, ABuildWithoutRuntimeOrItemsSaysSoAndWritesNothing) {
    Click("btnBuild");
    EXPECT_NE(LastMessage().find("Add pictures or videos first"), std::string::npos);
    PutJpeg("a.jpg", 20, 20, 0xFF808080);
    AnswerOpen({"a.jpg"});
    Click("btnAddPictures");
    Settle();
    std::filesystem::remove(Path("saver.scr"));
    Click("btnBuild");
    EXPECT_NE(LastMessage().find("saver.scr was not found"), std::string::npos);
    EXPECT_FALSE(Form().Building());
    EXPECT_TRUE(Machine().saveFileRequests.empty());
}

TEST_F(Maker, ThePreviewPlaysBetweenTheFirstTwoPicturesOfTheShow) {
    PutJpeg("red.jpg", 80, 60, 0xFFFF0000);
    PutJpeg("blue.jpg", 60, 80, 0xFF0000FF);
    AnswerOpen({"red.jpg", "blue.jpg"});
    Click("btnAddPictures");
    Settle();
    Select("PageControl", 3);
    Select("lbEffects", 114);  // a crossfade
    Wait(2000);  // the preview's tick, its 32 frames and the worker's end
    ASSERT_NE(Form().ImgPreviewTrans(), nullptr);
    const gfx::TBitmap32& canvas = sim::AsSim(*Form().ImgPreviewTrans()).Canvas();
    const gfx::TBitmap32 first = maker::FittedPicture(Path("red.jpg"), {canvas.Width(), canvas.Height()});
    ASSERT_FALSE(first.Empty());
    EXPECT_EQ(canvas.Pixel(canvas.Width() / 2, canvas.Height() / 2), first.Pixel(first.Width() / 2, first.Height() / 2));
}

}  // namespace
