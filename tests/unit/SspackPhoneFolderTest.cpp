// A folder copied from a phone becomes a saver: HEIC, AVIF, WebP (still and animated), JPEG and the
// videos in name order, each checked with the runtime's own decoders; a damaged one is refused with
// its name and the decoder's reason. The pictures and videos are made by the formats' own tools.

#include <filesystem>
#include <fstream>
#include <regex>

#include "gfx/decode/PictureFormats.h"
#include "package/PackageReader.h"
#include "tests/support/PictureEncoders.h"
#include "tests/unit/SspackFixture.h"

namespace fs = std::filesystem;

namespace {

using namespace sspack_test;
using testing_support::ReadBytes;

gfx::TBitmap32 Solid(gfx::Color32 colour) { return gfx::TBitmap32(64, 48, colour); }

class SspackPhoneFolder : public SspackTest {
protected:
    void SetUp() override {
        Put("runtime.bin", Pattern(700, 2));
        Put("red.png", testing_support::EncodePng(Solid(0xFFC03020)));
        Put("blue.png", testing_support::EncodePng(Solid(0xFF2040C0)));
    }

    int Sspack(const std::string& args) { return Run(SSPACK_EXE, args); }

    // Runs one of the formats' tools in the test's folder; the test cannot go on without its file.
    void Make(const std::string& tool, const std::string& args) {
        ASSERT_EQ(Run(tool, args), 0) << tool << " " << args << "\n" << Err();
    }

    void MakeHeic(const std::string& name) { Make("heif-enc", "-q 90 red.png -o '" + name + "'"); }
    void MakeAvif(const std::string& name) { Make("avifenc", "blue.png '" + name + "'"); }
    void MakeWebp(const std::string& name) { Make("cwebp", "-quiet red.png -o '" + name + "'"); }
    void MakeAnimatedWebp(const std::string& name) {
        Make("img2webp", "-loop 0 -d 200 red.png -d 200 blue.png -o '" + name + "'");
    }
    // One second of H.264 in an MP4 or a QuickTime file, by the name's extension.
    void MakeVideo(const std::string& name) {
        Make("ffmpeg", "-v error -y -f lavfi -i color=c=blue:s=64x48:d=1:r=10 -c:v libx264 -pix_fmt yuv420p '" + name +
                           "'");
    }

    // The first half of a picture: its header reads, its data ends early.
    void Cut(const std::string& from, const std::string& to) {
        const Bytes whole = ReadBytes(Path(from));
        Put(to, Bytes(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)));
    }

    std::int32_t SizeOf(const std::string& name) { return static_cast<std::int32_t>(fs::file_size(Path(name))); }
};

TEST_F(SspackPhoneFolder, EveryPictureAndVideoComesInNameOrderAndADamagedOneIsRefusedWithTheDecodersReason) {
    fs::create_directory(Path("phone"));
    MakeHeic("phone/IMG_0001.HEIC");
    MakeAvif("phone/IMG_0002.avif");
    MakeWebp("phone/img_0003.webp");
    MakeAnimatedWebp("phone/IMG_0004.webp");
    Put("phone/IMG_0005.JPG", testing_support::EncodeJpeg(Solid(0xFF30A060)));
    MakeVideo("phone/IMG_0006.MP4");
    MakeVideo("phone/IMG_0007.mov");
    Cut("phone/IMG_0001.HEIC", "phone/IMG_0008.heic");
    Put("phone/IMG_0009.AAE", Bytes{'<', '?', 'x', 'm', 'l'});  // the phone's edit notes, not a picture

    // The reason the runtime's own decoder gives for the damaged one.
    std::string why;
    EXPECT_FALSE(gfx::DecodePicture(gfx::TPictureFormat::Heif, ReadBytes(Path("phone/IMG_0008.heic")), &why));
    ASSERT_FALSE(why.empty());

    const std::string args = "build --pictures phone --name Phone --runtime runtime.bin -o p.scr";
    EXPECT_EQ(Sspack(args), 2);
    EXPECT_EQ(Err(), "sspack: left out phone/IMG_0009.AAE: not a picture format the screen saver can show (it shows "
                     "JPEG, PNG, GIF, TIFF, BMP, ICO, WMF, EMF, HEIC, HEIF, AVIF, WebP)\n"
                     "sspack: phone/IMG_0008.heic: a damaged HEIF file, or a kind of HEIF the screen saver cannot "
                     "decode (" +
                         why +
                         ")\n"
                         "sspack: nothing written: the screen saver would skip these; fix them, or build anyway with "
                         "--allow-skipped\n");
    EXPECT_FALSE(fs::exists(Path("p.scr")));

    fs::remove(Path("phone/IMG_0008.heic"));
    ASSERT_EQ(Sspack(args), 0) << Err();
    EXPECT_TRUE(std::regex_match(Out(), std::regex(R"(p\.scr: 5 pictures, 2 videos, 10 effects, .* KB\n)")))
        << Out();
    const pkg::Package p = pkg::ReadPackage(Path("p.scr"));
    std::vector<std::pair<std::string, std::int32_t>> items;
    for (const auto& item : p.items) {
        items.emplace_back(item.ItemExt, item.BlobSize);
    }
    EXPECT_EQ(items, (std::vector<std::pair<std::string, std::int32_t>>{
                         {".HEIC", SizeOf("phone/IMG_0001.HEIC")},
                         {".AVIF", SizeOf("phone/IMG_0002.avif")},
                         {".WEBP", SizeOf("phone/img_0003.webp")},
                         {".WEBP", SizeOf("phone/IMG_0004.webp")},
                         {".JPG", SizeOf("phone/IMG_0005.JPG")},
                         {".MP4", SizeOf("phone/IMG_0006.MP4")},
                         {".MOV", SizeOf("phone/IMG_0007.mov")},
                     }));
    EXPECT_EQ(Sspack("check p.scr"), 0) << Out() << Err();
}

TEST_F(SspackPhoneFolder, AManifestTakesTheNewKindsAndNamesTheExtensionAMislabelledOneNeeds) {
    MakeHeic("photo.heic");
    MakeHeic("photo.hif");
    MakeAvif("photo.avif");
    MakeAvif("avif-as.heic");  // the same decoder reads both
    MakeWebp("photo.webp");
    MakeAnimatedWebp("moving.webp");
    MakeVideo("clip.m4v");
    MakeHeic("heic-as.jpg");
    MakeWebp("webp-as.png");
    MakeAvif("avif-as.gif");
    Put("jpeg-as.webp", testing_support::EncodeJpeg(Solid(0xFF30A060)));
    Cut("photo.webp", "cut.webp");
    const Json good = {{{"file", "photo.heic"}}, {{"file", "photo.hif"}},   {{"file", "photo.avif"}},
                       {{"file", "avif-as.heic"}}, {{"file", "photo.webp"}}, {{"file", "moving.webp"}},
                       {{"file", "clip.m4v"}}};
    std::ofstream(Path("m.json")) << Json{{"items", good},
                                          {"logo", {{"file", "photo.webp"}}},
                                          {"background", {{"file", "photo.heic"}}}}
                                         .dump();
    ASSERT_EQ(Sspack("build m.json --runtime runtime.bin -o s.scr"), 0) << Err();
    EXPECT_EQ(Err(), "");
    EXPECT_EQ(Sspack("check s.scr"), 0) << Out() << Err();
    ASSERT_EQ(Sspack("list s.scr"), 0) << Err();
    // Each item's line names its kind as the runtime takes it.
    const std::string listing = Out();
    std::vector<std::string> kinds;
    const std::regex itemLine(R"(\n +\d+  (\S+ \S+) )");
    for (auto it = std::sregex_iterator(listing.begin(), listing.end(), itemLine); it != std::sregex_iterator();
         ++it) {
        kinds.push_back((*it)[1]);
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"HEIC picture", "HIF picture", "AVIF picture", "HEIC picture",
                                               "WebP picture", "WebP picture", "M4V video"}))
        << listing;

    std::string why;
    EXPECT_FALSE(gfx::DecodePicture(gfx::TPictureFormat::Webp, ReadBytes(Path("cut.webp")), &why));
    Json bad = good;
    for (const char* file : {"heic-as.jpg", "webp-as.png", "avif-as.gif", "jpeg-as.webp", "cut.webp"}) {
        bad.push_back({{"file", file}});
    }
    std::ofstream(Path("m.json")) << Json{{"items", bad}}.dump();
    EXPECT_EQ(Sspack("build m.json --runtime runtime.bin -o s.scr"), 2);
    const std::string byExtension = "; the screen saver takes a picture by its extension: name it ";
    EXPECT_EQ(Err(), "sspack: heic-as.jpg: a HEIF picture under the extension .JPG" + byExtension +
                         ".heic\n"
                         "sspack: webp-as.png: a WebP picture under the extension .PNG" +
                         byExtension +
                         ".webp\n"
                         "sspack: avif-as.gif: an AVIF picture under the extension .GIF" +
                         byExtension +
                         ".avif\n"
                         "sspack: jpeg-as.webp: a JPEG picture under the extension .WEBP" +
                         byExtension +
                         ".jpg\n"
                         "sspack: cut.webp: a damaged WebP file, or a kind of WebP the screen saver cannot decode (" +
                         why +
                         ")\n"
                         "sspack: nothing written: the screen saver would skip these; fix them, or build anyway with "
                         "--allow-skipped\n");
}

}  // namespace
