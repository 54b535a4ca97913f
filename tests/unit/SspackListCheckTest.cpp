// Listing and checking built savers, good ones and ones broken on purpose through the manifest's
// overrides, and the command line's exit codes.

#include <fstream>
#include <regex>

#include "package/PackageLayout.h"
#include "package/PackageReader.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/PictureEncoders.h"
#include "tests/unit/SspackFixture.h"
#include "tools/sspack/Checker.h"
#include "tools/sspack/Listing.h"

namespace {

using namespace sspack_test;
using testing_support::ReadBytes;

// Real pieces, each a kind the screen saver shows or plays; the bitmap and the WAV compress well.
class SspackInspect : public SspackTest {
protected:
    void SetUp() override {
        Put("a.jpg", testing_support::EncodeJpeg(gfx::TBitmap32(40, 30, 0xFF336699)));
        Put("b.bmp", testing_support::SolidBmp(40, 25, 10, 20, 30));
        Put("m.png", testing_support::EncodePng(gfx::TBitmap32(8, 8, 0xFFFFFFFF)));
        Put("s.wav", testing_support::SilentWav(10));
        Put("song.wav", testing_support::SilentWav(300));
        testing_support::GifLayout logo{4, 4, {0xFF000000, 0xFFFFFFFF}};
        logo.frames.push_back({0, 0, 4, 4, Bytes(16, 1)});
        Put("logo.gif", testing_support::EncodeGif(logo));
    }

    // The good saver, with overrides merged in when given.
    std::string Saver(const Json& overrides = nullptr) {
        Json m = Json::parse(R"({
          "strings": {"SaverName": "Inspect", "AboutText": "About"},
          "masks": [{"file": "m.png"}], "entrySounds": [{"file": "s.wav"}],
          "music": [{"file": "song.wav", "compress": true}],
          "items": [{"file": "a.jpg", "mask": 0, "effects": [4, 5], "effectSpeed": 3},
                    {"file": "b.bmp", "compress": true}, {"file": "a.jpg"}],
          "logo": {"file": "logo.gif"}
        })");
        if (!overrides.is_null()) {
            m["overrides"] = overrides;
        }
        return Build(m, Pattern(2000, 9));
    }

    static std::string Lines(const std::vector<std::string>& lines) {
        std::string all;
        for (const auto& l : lines) {
            all += l + "\n";
        }
        return all;
    }
};

TEST_F(SspackInspect, ListShowsEveryPieceWhereTheReaderFindsIt) {
    const std::string file = Saver();
    const Json l = sspack::ListPackage(file);
    const pkg::Package p = pkg::ReadPackage(file);
    const auto size = static_cast<std::int64_t>(ReadBytes(file).size());
    EXPECT_EQ(l["fileSize"], size);
    EXPECT_EQ(l["packageStart"], 2000);
    EXPECT_EQ(l["header"]["FileSizeSlot"], size);
    EXPECT_EQ(l["header"]["ItemCount"], 3);
    EXPECT_EQ(l["header"]["LogoExt"], ".GIF");
    EXPECT_TRUE(l["nameResource"].is_null());
    EXPECT_EQ(l["strings"]["SaverName"], "Inspect");
    EXPECT_EQ(l["strings"]["Effect"].size(), 120u);
    EXPECT_EQ(l["strings"]["reserved"].size(), 9u);

    ASSERT_EQ(l["items"].size(), 3u);
    EXPECT_EQ(l["items"][0]["position"], 2000 + p.items[0].BlobOffset);
    EXPECT_EQ(l["items"][0]["compressed"], false);
    EXPECT_EQ(l["items"][0]["ItemEffects"], Json::array({4, 5}));
    EXPECT_EQ(l["items"][0]["ItemMaskIndex"], 0);
    EXPECT_EQ(l["items"][1]["compressed"], true);
    EXPECT_EQ(l["items"][1]["BlobSize"], ReadBytes(Path("b.bmp")).size());
    EXPECT_EQ(l["masks"][0]["Kind"], 1);
    EXPECT_EQ(l["entrySounds"][0]["Ext"], ".WAV");
    EXPECT_EQ(l["music"][0]["position"],
              pkg::SegmentStart(p.header, pkg::Segment::SoundTable) + p.sounds[0].BlobOffset);
    EXPECT_EQ(l["pieces"]["logo"]["present"], true);
    EXPECT_EQ(l["pieces"]["logo"]["size"], ReadBytes(Path("logo.gif")).size());
    EXPECT_EQ(l["pieces"]["logo"]["position"], pkg::SegmentStart(p.header, pkg::Segment::Logo));
    EXPECT_EQ(l["pieces"]["background"]["present"], false);

    const std::string text = sspack::FormatListing(l);
    EXPECT_NE(text.find("SaverName        \"Inspect\""), std::string::npos) << text;
    EXPECT_NE(text.find("LogoTransparentColor      none"), std::string::npos) << text;
    EXPECT_NE(text.find("Items (3)"), std::string::npos) << text;
}

TEST_F(SspackInspect, ListShortensLongTextsOnlyInTextMode) {
    const std::string about(300, 'x');
    const Json l = sspack::ListPackage(
        Build(Json{{"strings", {{"AboutText", about + "\r\n"}}}, {"items", Json::array()}}, Pattern(300, 2)));
    EXPECT_EQ(l["strings"]["AboutText"], about + "\r\n");
    const std::string text = sspack::FormatListing(l);
    EXPECT_NE(text.find("\"" + std::string(60, 'x') + "\"... (302 characters)"), std::string::npos) << text;
}

TEST_F(SspackInspect, CheckPassesAGoodSaver) { EXPECT_EQ(Lines(sspack::CheckPackage(Saver())), ""); }

TEST_F(SspackInspect, CheckNamesTheTableIndexAndFieldOfEachProblem) {
    const struct {
        const char* overrides;
        const char* problem;
        bool listable;
    } cases[] = {
        {R"({"truncateBlob": {"items": {"1": 10}}})", "items[1].BlobStoredSize: the ", true},
        {R"({"magic": "Pelmarinoy"})", "this file holds no screen-saver package", false},
        {R"({"items": {"0": {"ItemExt": "..\\x"}}})", R"(items[0].ItemExt: "..\\x" is not a safe extension)", true},
        {R"({"items": {"2": {"BlobOffset": 99999999}}})", "items[2].BlobOffset: 99999999 puts the piece", true},
        {R"({"items": {"0": {"ItemMaskIndex": 1}}})", "items[0].ItemMaskIndex: 1 points past the mask table", true},
        {R"({"items": {"0": {"ItemEffects": [121]}}})", "items[0].ItemEffects: code 121 at position 0", true},
        // The bitmap of 40 x 25 at 24 bits is 54 + 25 x 120 bytes.
        {R"({"items": {"1": {"BlobSize": 3055}}})", "items[1].BlobSize: 3055 declared, the piece comes out with 3054",
         true},
        {R"({"music": {"0": {"BlobStoredSize": 5}}})", "music[0].BlobStoredSize: the 5-byte zlib stream", true},
        {R"({"header": {"ItemCount": 2}})", "header.ItemTableSize: 2520 is not ItemCount 2 x 840", true},
        {R"({"header": {"PackageSize": -5}})", "package: PackageSize -5 is smaller than the trailer", false},
        {R"({"stringLengths": {"5": 60000}})", "package: string 5 runs into the trailer", false},
    };
    for (const auto& c : cases) {
        const std::string file = Saver(Json::parse(c.overrides));
        const std::string problems = Lines(sspack::CheckPackage(file));
        EXPECT_NE(problems.find(c.problem), std::string::npos)
            << "overrides " << c.overrides << "\n  problems:\n" << problems << "  expected " << c.problem;
        if (c.listable) {
            EXPECT_NO_THROW(sspack::ListPackage(file)) << c.overrides;
        } else {
            EXPECT_THROW(sspack::ListPackage(file), pkg::PackageError) << c.overrides;
        }
    }
}

TEST_F(SspackInspect, OverridesAreWrittenExactlyAsGiven) {
    const std::string file = Saver(Json::parse(R"({
        "header": {"Seconds": 0, "FileSizeSlot": 7}, "items": {"0": {"ItemExt": "..\\x", "CaptionText": "t"}},
        "appendToBlob": {"items": {"0": 3}}})"));
    const Json l = sspack::ListPackage(file);
    EXPECT_EQ(l["header"]["Seconds"], 0);
    EXPECT_EQ(l["header"]["FileSizeSlot"], 7);
    EXPECT_EQ(l["items"][0]["ItemExt"], "..\\x");
    EXPECT_EQ(l["items"][0]["CaptionText"], "t");
    // Three stray bytes after item 0 move the later pieces, whose offsets follow them.
    EXPECT_EQ(l["items"][1]["BlobOffset"],
              l["items"][0]["BlobOffset"].get<int>() + static_cast<int>(ReadBytes(Path("a.jpg")).size()) + 3);
}

// The command line: exit codes, messages on stderr, and no output file from a bad manifest.
class SspackCli : public SspackTest {
protected:
    void SetUp() override {
        Put("a.jpg", testing_support::EncodeJpeg(gfx::TBitmap32(16, 12, 0xFF204060)));
        Put("runtime.bin", Pattern(700, 2));
    }
    int Sspack(const std::string& args) { return Run(SSPACK_EXE, args); }
    void Manifest(const std::string& json) { std::ofstream(Path("m.json")) << json; }
    std::string BuildArgs() { return "build m.json --runtime runtime.bin -o "; }
};

TEST_F(SspackCli, BuildSaysWhatItBuiltAndListAndCheckTellWhatItHolds) {
    Manifest(R"({"strings": {"SaverName": "Cli", "Effect": ["Crossfade", 103]}, "items": [{"file": "a.jpg"}]})");
    ASSERT_EQ(Sspack(BuildArgs() + "s.scr"), 0) << Err();
    EXPECT_EQ(Err(), "");  // a runtime without a name field is not worth a word unless asked
    EXPECT_TRUE(std::regex_match(Out(), std::regex(R"(s\.scr: 1 picture, 2 effects, \d+\.\d KB\n)"))) << Out();
    ASSERT_EQ(Sspack(BuildArgs() + "q.scr --quiet"), 0) << Err();
    EXPECT_EQ(Out() + Err(), "");

    ASSERT_EQ(Sspack("list s.scr"), 0) << Err();
    const std::string overview = Out();
    EXPECT_NE(overview.find("  name        \"Cli\"\n"), std::string::npos) << overview;
    EXPECT_NE(overview.find("  each item   5 seconds, in order, fitted to the screen\n"), std::string::npos)
        << overview;
    EXPECT_NE(overview.find("  effects     Crossfade, Zoom In; speed 5 of 10\n"), std::string::npos) << overview;
    EXPECT_NE(overview.find("\nItems\n    0  JPEG picture"), std::string::npos) << overview;
    EXPECT_EQ(overview.find("BlobOffset"), std::string::npos) << overview;
    ASSERT_EQ(Sspack("list --all s.scr"), 0) << Err();
    EXPECT_NE(Out().find("SaverName        \"Cli\""), std::string::npos) << Out();
    EXPECT_NE(Out().find("(offset "), std::string::npos) << Out();
    ASSERT_EQ(Sspack("list --json s.scr"), 0) << Err();
    EXPECT_EQ(Json::parse(Out())["strings"]["SaverName"], "Cli");
    EXPECT_EQ(Sspack("list --all --json s.scr"), 2);
    EXPECT_EQ(Sspack("check s.scr"), 0);
    EXPECT_EQ(Out(), "");

    ASSERT_EQ(Sspack(BuildArgs() + "n.scr --name-resource"), 0) << Err();
    EXPECT_NE(Err().find("no 30-character name resource"), std::string::npos) << Err();
    EXPECT_EQ(Sspack(BuildArgs() + "n.scr --name-resource --no-name-resource"), 2);
}

TEST_F(SspackCli, ABadManifestLeavesNoOutput) {
    Put("old.scr", Pattern(10, 3));
    Manifest(R"({"items": [{"file": "a.jpg", "sizeMode": 9}]})");
    EXPECT_EQ(Sspack(BuildArgs() + "new.scr"), 2);
    EXPECT_NE(Err().find("items[0].sizeMode: 9 is not one of -1..5"), std::string::npos) << Err();
    EXPECT_EQ(Sspack(BuildArgs() + "old.scr"), 2);
    EXPECT_EQ(ReadBytes(Path("old.scr")), Pattern(10, 3));
    Manifest("{\"items\": [");
    EXPECT_EQ(Sspack(BuildArgs() + "new.scr"), 2);
    EXPECT_NE(Err().find("not JSON"), std::string::npos) << Err();
    EXPECT_EQ(testing_support::ListFiles(Dir().Path()),
              (std::vector<std::string>{"a.jpg", "err.txt", "m.json", "old.scr", "out.txt", "runtime.bin"}));
}

TEST_F(SspackCli, CheckExitsOneWithAProblemPerLine) {
    Put("b.jpg", ReadBytes(Path("a.jpg")));
    Manifest(R"({"items": [{"file": "a.jpg"}, {"file": "b.jpg"}],
                 "overrides": {"items": {"0": {"ItemExt": "..\\x"}, "1": {"ItemMaskIndex": 3}}}})");
    ASSERT_EQ(Sspack(BuildArgs() + "s.scr"), 0) << Err();
    EXPECT_EQ(Sspack("check s.scr"), 1);
    const std::string out = Out();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
    EXPECT_NE(out.find("s.scr: items[0].ItemExt"), std::string::npos) << out;
    EXPECT_NE(out.find("s.scr: items[1].ItemMaskIndex: 3"), std::string::npos) << out;
}

TEST_F(SspackCli, AFileWithoutAPackageIsSaidToHoldNone) {
    EXPECT_EQ(Sspack("list runtime.bin"), 1);
    EXPECT_EQ(Err(), "sspack: runtime.bin: this file holds no screen-saver package\n");
    EXPECT_EQ(Sspack("list --json runtime.bin"), 1);
    EXPECT_EQ(Err(), "sspack: runtime.bin: this file holds no screen-saver package\n");
    EXPECT_EQ(Sspack("check runtime.bin"), 1);
    EXPECT_EQ(Out(), "runtime.bin: this file holds no screen-saver package\n");
}

}  // namespace
