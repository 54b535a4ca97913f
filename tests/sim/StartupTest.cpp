// Start-up with packages broken in every way the reader guards against: one "can not run" message,
// the application told to end, never a crash; and broken pieces that fail cleanly later.

#include <gtest/gtest.h>

#include "host/SSWindow.h"
#include "package/Pieces.h"
#include "platform/Files.h"
#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"

namespace {

using testing_support::Bytes;
using testing_support::Json;
using testing_support::Pattern;
using testing_support::SaverRunTest;

class Startup : public SaverRunTest {
protected:
    Json Manifest(const Json& overrides = Json::object()) {
        Put("a.jpg", Pattern(3000, 1));
        Put("b.png", Pattern(2000, 2));
        Put("song.mp3", Pattern(500, 3));
        Json m = {{"strings", {{"SaverName", "Broken Test"}}},
                  {"items", {{{"file", "a.jpg"}}, {{"file", "b.png"}, {"compress", true}}}},
                  {"music", {{{"file", "song.mp3"}}}}};
        if (!overrides.empty()) {
            m["overrides"] = overrides;
        }
        return m;
    }

    void ExpectCanNotRun(const std::string& saver, const std::string& mode, const std::string& caption,
                         const std::string& what) {
        Machine().messageBoxes.clear();
        trace.clear();
        EXPECT_EQ(Run(saver, {mode}), 0) << what << ": the program must end by itself";
        ASSERT_EQ(Machine().messageBoxes.size(), 1u) << what;
        const sim::MessageBoxRecord& box = Machine().messageBoxes[0];
        EXPECT_EQ(box.text, host::kCanNotRunMessage) << what;
        EXPECT_EQ(box.caption, caption) << what;
        EXPECT_EQ(box.flags, plat::MB_ICONERROR) << what;
        EXPECT_FALSE(Traced("Form CLose")) << what << ": the window is destroyed without being closed";
        EXPECT_TRUE(Traced("Form Destroy")) << what;
        sim::Reset();
        Machine().tempPath = Temp();
    }
};

TEST_F(Startup, TheMessageTextIsExact) {
    EXPECT_STREQ(host::kCanNotRunMessage,
                 "The screen saver can not run because of one of the following reasons:\r\n\r\n"
                 "* The file is corrupted\r\n* Your computer is out of resources\r\n* Windows error");
}

TEST_F(Startup, BrokenHeadersFailInEveryModeThatReadsThePackage) {
    Put("bare.scr", testing_support::FakeRuntime());
    Put("tiny.scr", Pattern(100, 5));
    struct Case {
        const char* what;
        Json overrides;
    };
    const Case cases[] = {
        {"wrong magic", {{"magic", "Pelmarinoy"}}},
        {"PackageSize larger than the file", {{"header", {{"PackageSize", 0x7FFFFFF0}}}}},
        {"negative PackageSize", {{"header", {{"PackageSize", -230}}}}},
        {"PackageSize smaller than the trailer", {{"header", {{"PackageSize", 100}}}}},
        {"negative segment length", {{"header", {{"PreviewImageSize", -1}}}}},
        {"segments past the trailer", {{"header", {{"BannerImageSize", 0x100000}}}}},
        {"a string running into the trailer", {{"stringLengths", {{"18", 60000}}}}},
    };
    for (const std::string mode : {"/s", "/c"}) {
        ExpectCanNotRun(Path("bare.scr"), mode, "Screen Saver", "no package, " + mode);
        ExpectCanNotRun(Path("tiny.scr"), mode, "Screen Saver", "shorter than the trailer, " + mode);
        for (const Case& c : cases) {
            ExpectCanNotRun(Build(Manifest(c.overrides)), mode, "Screen Saver", c.what + (", " + mode));
        }
    }
}

TEST_F(Startup, BrokenTablesFailTheSaverButNotTheConfiguration) {
    struct Case {
        const char* what;
        Json overrides;
    };
    const Case cases[] = {
        {"negative count", {{"header", {{"ItemCount", -1}}}}},
        {"count past its segment", {{"header", {{"ItemCount", 3}}}}},
        {"count past the file", {{"header", {{"SoundCount", 2000000}}}}},
        {"mask count without a table", {{"header", {{"MaskCount", 1}}}}},
        {"entry sounds without a table", {{"header", {{"EntrySoundCount", 4}}}}},
    };
    for (const Case& c : cases) {
        const std::string saver = Build(Manifest(c.overrides));
        ExpectCanNotRun(saver, "/s", "Broken Test", c.what);
        EXPECT_EQ(Run(saver, {"/c"}, 1000), -1) << c.what << ": the panel only needs the header and strings";
        EXPECT_TRUE(Machine().messageBoxes.empty()) << c.what;
        sim::Reset();
        Machine().tempPath = Temp();
    }
}

TEST_F(Startup, ARegistryValueOfTheWrongTypeFailsLikeABrokenPackage) {
    const std::string saver = Build(Manifest());
    Machine().registry.SetString("\\Software\\Tavolisk\\Broken Test", "Seconds", "10");
    Machine().registry.SetString("\\Software\\Tavolisk\\Broken Test", "ExitESC", "1");
    ExpectCanNotRun(saver, "/c", "Screen Saver", "Seconds as a string");
    Machine().registry.SetString("\\Software\\Tavolisk\\Broken Test", "Effect", std::string{5, 0x7F});
    ExpectCanNotRun(saver, "/s", "Screen Saver", "effect 127");
    // A zero byte inside the selection is effect 0, in every mode.
    for (const std::string mode : {"/s", "/c"}) {
        Machine().registry.SetString("\\Software\\Tavolisk\\Broken Test", "Effect", std::string{1, 0, 5});
        ExpectCanNotRun(saver, mode, "Screen Saver", "a zero byte in Effect, " + mode);
    }
}

TEST_F(Startup, ABrokenPieceFailsAloneAndWritesNothingOutsideTheTempFolder) {
    const std::string saver = Build(Manifest({{"items", {{"0", {{"ItemExt", "..\\x"}}}}},
                                              {"truncateBlob", {{"items", {{"1", 10}}}}},
                                              {"music", {{"0", {{"ItemExt", ".a/b"}}}}}}));
    pkg::Package package;
    EXPECT_EQ(Run(saver, {"/s"}, 500, [&](host::TSSWindow& w) { package = w.Package(); }), -1)
        << "the package itself reads";
    EXPECT_TRUE(Machine().messageBoxes.empty());
    EXPECT_FALSE(pkg::ItemPiece(package, 0)) << "an extension with a path in it names no file";
    EXPECT_FALSE(pkg::TrackPiece(package, 0));
    const auto truncated = pkg::ItemPiece(package, 1);
    ASSERT_TRUE(truncated);
    EXPECT_FALSE(pkg::ExtractPiece(saver, *truncated));
    EXPECT_FALSE(plat::FileExists(Temp() + "SSIMG.PNG"));
    EXPECT_EQ(testing_support::ListFiles(Dir().Path()),
              (std::vector<std::string>{"a.jpg", "b.png", "built.scr", "song.mp3"}));
}

TEST_F(Startup, ThePreviewPictureIsTakenOutShownAndDeleted) {
    Put("preview.bmp", testing_support::SolidBmp(16, 12, 200, 10, 10));
    Json m = Manifest();
    m["previewImage"] = {{"file", "preview.bmp"}};
    const std::string saver = Build(m);
    gfx::TBitmap32 shown;
    EXPECT_EQ(Run(saver, {"/p", "1234"}, 500, [&](host::TSSWindow& w) {
                  ASSERT_NE(w.PrImage(), nullptr);
                  shown = sim::AsSim(*w.PrImage()).Canvas();
              }),
              -1);
    EXPECT_TRUE(Traced("Preview picture 16x12"));
    EXPECT_EQ(shown.BoundsRect(), (gfx::IntRect{0, 0, 152, 112})) << "stretched over the whole preview";
    for (const gfx::IntPoint p : {gfx::IntPoint{0, 0}, {151, 111}, {76, 56}}) {
        EXPECT_EQ(shown.Pixel(p.x, p.y), gfx::MakeColor32(200, 10, 10)) << p.x << "," << p.y;
    }
    EXPECT_FALSE(plat::FileExists(Temp() + "SSIMG.BMP"));
    EXPECT_TRUE(Machine().messageBoxes.empty());

    // No package at all: the preview stays black and says nothing.
    trace.clear();
    Put("bare.scr", testing_support::FakeRuntime());
    EXPECT_EQ(Run(Path("bare.scr"), {"/p", "1234"}, 500), -1);
    EXPECT_TRUE(std::none_of(trace.begin(), trace.end(), [](const std::string& t) { return t.rfind("Preview", 0) == 0; }));
    EXPECT_TRUE(Machine().messageBoxes.empty());
}

}  // namespace
