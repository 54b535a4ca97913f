// Listing and checking built savers, good ones and ones broken on purpose through the manifest's
// overrides, and the command line's exit codes.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "package/PackageLayout.h"
#include "package/PackageReader.h"
#include "tests/unit/SspackFixture.h"
#include "tools/sspack/Checker.h"
#include "tools/sspack/Listing.h"

namespace {

using namespace sspack_test;
using testing_support::ReadBytes;

class SspackInspect : public SspackTest {
protected:
    void SetUp() override {
        Put("a.jpg", Pattern(1000, 1));
        Put("b.txt", Text(3000, 'b'));
        Put("m.png", Pattern(40, 2));
        Put("s.wav", Pattern(50, 3));
        Put("song.mp3", Text(600, 's'));
        Put("logo.gif", Text(90, 'l'));
    }

    // The good saver, with overrides merged in when given.
    std::string Saver(const Json& overrides = nullptr) {
        Json m = Json::parse(R"({
          "strings": {"SaverName": "Inspect", "AboutText": "About"},
          "masks": [{"file": "m.png"}], "entrySounds": [{"file": "s.wav"}],
          "music": [{"file": "song.mp3", "compress": true}],
          "items": [{"file": "a.jpg", "mask": 0, "effects": [4, 5], "effectSpeed": 3}, {"file": "b.txt", "compress": true},
                    {"file": "a.jpg"}],
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
    EXPECT_EQ(l["items"][1]["BlobSize"], 3000);
    EXPECT_EQ(l["masks"][0]["Kind"], 1);
    EXPECT_EQ(l["entrySounds"][0]["Ext"], ".WAV");
    EXPECT_EQ(l["music"][0]["position"],
              pkg::SegmentStart(p.header, pkg::Segment::SoundTable) + p.sounds[0].BlobOffset);
    EXPECT_EQ(l["pieces"]["logo"]["present"], true);
    EXPECT_EQ(l["pieces"]["logo"]["size"], 90);
    EXPECT_EQ(l["pieces"]["logo"]["position"], pkg::SegmentStart(p.header, pkg::Segment::Logo));
    EXPECT_EQ(l["pieces"]["background"]["present"], false);

    const std::string text = sspack::FormatListing(l);
    EXPECT_NE(text.find("SaverName        \"Inspect\""), std::string::npos) << text;
    EXPECT_NE(text.find("LogoTransparentColor      none"), std::string::npos) << text;
    EXPECT_NE(text.find("Items (3)"), std::string::npos) << text;
}

TEST_F(SspackInspect, ListShortensLongTextsOnlyInTextMode) {
    Put("a.jpg", Pattern(10, 1));
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
        {R"({"magic": "Pelmarinoy"})", "package: the trailer's magic is missing", false},
        {R"({"items": {"0": {"ItemExt": "..\\x"}}})",
         R"(items[0].ItemExt: "..\\x" is not a safe extension)", true},
        {R"({"items": {"2": {"BlobOffset": 99999999}}})", "items[2].BlobOffset: 99999999 puts the piece", true},
        {R"({"items": {"0": {"ItemMaskIndex": 1}}})", "items[0].ItemMaskIndex: 1 points past the mask table", true},
        {R"({"items": {"0": {"ItemEffects": [121]}}})", "items[0].ItemEffects: code 121 at position 0", true},
        {R"({"items": {"1": {"BlobSize": 3001}}})", "items[1].BlobSize: 3001 declared, the piece comes out with 3000",
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
    EXPECT_EQ(l["items"][1]["BlobOffset"], l["items"][0]["BlobOffset"].get<int>() + 1000 + 3);
}

// The command line: exit codes, messages on stderr, and no output file from a bad manifest.
class SspackCli : public SspackTest {
protected:
    int Run(const std::string& args) {
        const std::string command = std::string("'") + SSPACK_EXE + "' " + args + " >'" + Path("out.txt") + "' 2>'" +
                                    Path("err.txt") + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() { return Read("out.txt"); }
    std::string Err() { return Read("err.txt"); }
    std::string Read(const std::string& name) {
        std::ifstream in(Path(name));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Quoted(const std::string& name) { return "'" + Path(name) + "'"; }

    void SetUp() override {
        Put("a.jpg", Pattern(100, 1));
        Put("runtime.bin", Pattern(700, 2));
    }
    void Manifest(const std::string& json) {
        std::ofstream(Path("m.json")) << json;
    }
    std::string BuildArgs() { return "build " + Quoted("m.json") + " --runtime " + Quoted("runtime.bin") + " -o "; }
};

TEST_F(SspackCli, BuildListAndCheckAGoodSaver) {
    Manifest(R"({"strings": {"SaverName": "Cli"}, "items": [{"file": "a.jpg"}]})");
    ASSERT_EQ(Run(BuildArgs() + Quoted("s.scr")), 0) << Err();
    EXPECT_EQ(Err(), "");  // a runtime without a name field is not worth a word unless asked
    ASSERT_EQ(Run("list --json " + Quoted("s.scr")), 0) << Err();
    EXPECT_EQ(Json::parse(Out())["strings"]["SaverName"], "Cli");
    EXPECT_EQ(Run("list " + Quoted("s.scr")), 0);
    EXPECT_NE(Out().find("SaverName"), std::string::npos);
    EXPECT_EQ(Run("check " + Quoted("s.scr")), 0);
    EXPECT_EQ(Out(), "");

    ASSERT_EQ(Run(BuildArgs() + Quoted("n.scr") + " --name-resource"), 0) << Err();
    EXPECT_NE(Err().find("no 30-character name resource"), std::string::npos) << Err();
    EXPECT_EQ(Run(BuildArgs() + Quoted("n.scr") + " --name-resource --no-name-resource"), 2);
}

TEST_F(SspackCli, ABadManifestLeavesNoOutput) {
    Put("old.scr", Pattern(10, 3));
    Manifest(R"({"items": [{"file": "a.jpg", "sizeMode": 9}]})");
    EXPECT_EQ(Run(BuildArgs() + Quoted("new.scr")), 2);
    EXPECT_NE(Err().find("items[0].sizeMode: 9 is not one of -1..5"), std::string::npos) << Err();
    EXPECT_EQ(Run(BuildArgs() + Quoted("old.scr")), 2);
    EXPECT_EQ(ReadBytes(Path("old.scr")), Pattern(10, 3));
    Manifest("{\"items\": [");
    EXPECT_EQ(Run(BuildArgs() + Quoted("new.scr")), 2);
    EXPECT_NE(Err().find("not JSON"), std::string::npos) << Err();
    EXPECT_EQ(testing_support::ListFiles(Dir().Path()),
              (std::vector<std::string>{"a.jpg", "err.txt", "m.json", "old.scr", "out.txt", "runtime.bin"}));
}

TEST_F(SspackCli, CheckExitsOneWithAProblemPerLine) {
    Put("b.jpg", Pattern(100, 4));
    Manifest(R"({"items": [{"file": "a.jpg"}, {"file": "b.jpg"}],
                 "overrides": {"items": {"0": {"ItemExt": "..\\x"}, "1": {"ItemMaskIndex": 3}}}})");
    ASSERT_EQ(Run(BuildArgs() + Quoted("s.scr")), 0) << Err();
    EXPECT_EQ(Run("check " + Quoted("s.scr")), 1);
    const std::string out = Out();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
    EXPECT_NE(out.find("items[0].ItemExt"), std::string::npos) << out;
    EXPECT_NE(out.find("items[1].ItemMaskIndex: 3"), std::string::npos) << out;
    EXPECT_EQ(Run("list " + Quoted("runtime.bin")), 1);
    EXPECT_EQ(Run("check " + Quoted("runtime.bin")), 1);
}

}  // namespace
