// What the screen saver would skip is refused at build time with the file and the reason, found
// again by the check in a built saver; every kind it shows or plays passes. Savers are made by the
// real command on real files.

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "package/PackageReader.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/PictureEncoders.h"
#include "tests/unit/SspackFixture.h"

namespace fs = std::filesystem;

namespace {

using namespace sspack_test;
using testing_support::ReadBytes;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void PutBig32(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Joined(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A bitmap file header and info header that state the size; no pixels follow.
Bytes BitmapHeader(std::uint32_t width, std::uint32_t height) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, 54);
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, width);
    Put32(b, 22, height);
    b[26] = 1;
    b[28] = 24;
    return b;
}

Bytes PngChunk(const char* type, const Bytes& data) {
    Bytes chunk;
    PutBig32(chunk, static_cast<std::uint32_t>(data.size()));
    const Bytes typed = Joined(Of(std::string_view(type, 4)), data);
    chunk.insert(chunk.end(), typed.begin(), typed.end());
    PutBig32(chunk, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
    return chunk;
}

// A PNG that states its size and stops where the pixels would begin.
Bytes PngHeader(std::uint32_t width, std::uint32_t height) {
    Bytes ihdr;
    PutBig32(ihdr, width);
    PutBig32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    Bytes png = Of("\x89PNG\r\n\x1A\n");
    png = Joined(png, PngChunk("IHDR", ihdr));
    png = Joined(png, PngChunk("IDAT", {}));
    return Joined(png, PngChunk("IEND", {}));
}

// A GIF's logical screen and nothing else.
Bytes GifScreen(std::uint16_t width, std::uint16_t height) {
    Bytes gif = Of("GIF89a");
    gif.insert(gif.end(), {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                           static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8), 0, 0, 0, ';'});
    return gif;
}

// An enhanced metafile's header record with a frame of one inch square.
Bytes EmfHeader() {
    Bytes b(108, 0);
    Put32(b, 0, 1);
    Put32(b, 4, 108);
    Put32(b, 32, 2540);
    Put32(b, 36, 2540);
    Put32(b, 40, 0x464D4520);
    return b;
}

// A placeable Windows metafile header: bounds of 100 units, 100 to the inch.
Bytes WmfHeader() {
    Bytes b(40, 0);
    Put32(b, 0, 0x9AC6CDD7);
    b[10] = 100;
    b[12] = 100;
    b[14] = 100;
    b[22] = 1;
    b[24] = 9;
    return b;
}

gfx::TBitmap32 Solid(int w, int h) { return gfx::TBitmap32(w, h, 0xFF3060A0); }

using namespace std::string_view_literals;
constexpr std::string_view kWebp = "RIFF\x10\0\0\0WEBPVP8 "sv;
constexpr std::string_view kAsfHeader = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"sv;

class SspackContent : public SspackTest {
protected:
    void SetUp() override {
        Put("runtime.bin", Pattern(700, 2));
        Put("good.jpg", testing_support::EncodeJpeg(Solid(16, 12)));
    }
    int Sspack(const std::string& args) { return Run(SSPACK_EXE, args); }
    void Manifest(const Json& manifest) { std::ofstream(Path("m.json")) << manifest.dump(); }
    int Build(const std::string& extra = "") { return Sspack("build m.json --runtime runtime.bin -o s.scr" + extra); }
};

constexpr const char* kShows = "(it shows JPEG, PNG, GIF, TIFF, BMP, ICO, WMF, EMF, HEIC, HEIF, AVIF, WebP)";
constexpr const char* kPlays = "(it plays WAV, MP3, MIDI, WMA, M4A and AAC)";

TEST_F(SspackContent, EveryPieceTheScreenSaverWouldSkipIsRefusedWithItsFileAndWhy) {
    fs::create_directory(Path("photos"));
    const Bytes webp = Joined(Of(kWebp), Pattern(20, 1));
    Put("photos/a.webp", webp);
    Put("notes.jpg", Of("Dear diary,\n"));
    Put("drawing.jpg", testing_support::EncodePng(Solid(4, 4)));
    Put("phone.jpg", webp);
    Put("big.bmp", BitmapHeader(8192, 8192));
    Put("wide.png", PngHeader(6000, 6000));
    Put("tall.gif", GifScreen(4000, 9000));
    const Bytes jpeg = testing_support::EncodeJpeg(Solid(64, 64));
    Put("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2)));
    Put("empty.png", {});
    Put("clip.avi", Of("not a movie"));
    Put("mpeg.avi", Joined(Of(std::string_view("\0\0\1\xBA", 4)), Pattern(40, 3)));
    Put("movie.swf", Joined(Of("SWF"), Pattern(40, 4)));
    Put("mask.png", Of("a mask"));
    Put("chime.wav", Of("ding"));
    Put("song.mp3", Pattern(100, 5));
    Put("logo.gif", testing_support::EncodeJpeg(Solid(8, 8)));
    Put("bg.tif", Of("paper"));
    Put("preview.bmp", testing_support::EncodePng(Solid(4, 4)));
    Manifest({{"items",
               {{{"file", "photos/a.webp"}},
                {{"file", "notes.jpg"}},
                {{"file", "drawing.jpg"}},
                {{"file", "phone.jpg"}},
                {{"file", "big.bmp"}},
                {{"file", "wide.png"}},
                {{"file", "tall.gif"}},
                {{"file", "cut.jpg"}},
                {{"file", "empty.png"}},
                {{"file", "clip.avi"}},
                {{"file", "mpeg.avi"}},
                {{"file", "movie.swf"}},
                {{"file", "good.jpg"}}}},
              {"masks", {{{"file", "mask.png"}}}},
              {"entrySounds", {{{"file", "chime.wav"}}}},
              {"music", {{{"file", "song.mp3"}}}},
              {"logo", {{"file", "logo.gif"}}},
              {"background", {{"file", "bg.tif"}}},
              {"previewImage", {{"file", "preview.bmp"}}}});
    EXPECT_EQ(Build(), 2);
    EXPECT_EQ(Err(),
              std::string("sspack: photos/a.webp: a damaged WebP file, or a kind of WebP the screen saver cannot decode "
                          "(BITSTREAM_ERROR)\n") +
                  "sspack: notes.jpg: not a JPEG file\n"
                  "sspack: drawing.jpg: a PNG picture under the extension .JPG; the screen saver takes a picture by "
                  "its extension: name it .png\n"
                  "sspack: phone.jpg: a WebP picture under the extension .JPG; the screen saver takes a picture by "
                  "its extension: name it .webp\n"
                  "sspack: big.bmp: 8192 \u00D7 8192 is more than the 33,554,432 pixels the screen saver decodes\n"
                  "sspack: wide.png: 6000 \u00D7 6000 is more than the 33,554,432 pixels the screen saver decodes\n"
                  "sspack: tall.gif: 4000 \u00D7 9000 is more than the 33,554,432 pixels the screen saver decodes\n"
                  "sspack: cut.jpg: a damaged JPEG file, or a kind of JPEG the screen saver cannot decode (Premature "
                  "end of JPEG file)\n"
                  "sspack: empty.png: an empty file\n"
                  "sspack: clip.avi: not a video the screen saver can play (it plays AVI, ASF, WMV, MPEG, MP4 and MOV)\n"
                  "sspack: mpeg.avi: an MPEG video under the extension .AVI, which plays only AVI videos: name it "
                  ".mpg\n"
                  "sspack: movie.swf: not a Flash movie the screen saver can show (it reads movies that start with "
                  "FWS or CWS)\n"
                  "sspack: mask.png: not a PNG file\n"
                  "sspack: chime.wav: not a sound the screen saver can play " +
                  kPlays + "\n" + "sspack: song.mp3: not a sound the screen saver can play " + kPlays + "\n" +
                  "sspack: logo.gif: a JPEG picture under the extension .GIF; the screen saver takes a picture by its "
                  "extension: name it .jpg\n"
                  "sspack: bg.tif: not a TIFF file\n"
                  "sspack: preview.bmp: a PNG picture under the extension .BMP; the screen saver takes a picture by "
                  "its extension: name it .png\n"
                  "sspack: nothing written: the screen saver would skip these; fix them, or build anyway with "
                  "--allow-skipped\n");
    EXPECT_FALSE(fs::exists(Path("s.scr")));
}

TEST_F(SspackContent, Mp4MovAndTheirSoundsGoByTheirOwnExtensions) {
    using testing_support::IsoMedia;
    Put("avi.mp4", testing_support::MovieAvi(8, 6, 2, false));
    Put("wmv.mov", Joined(Of(kAsfHeader), Pattern(30, 1)));
    Put("mp4.wmv", IsoMedia({}));
    Put("mov.mpg", IsoMedia({.brand = "qt  "}));
    Put("noise.mov", Pattern(100, 6));
    Put("video.m4a", IsoMedia({}));
    Put("noise.aac", Pattern(100, 7));
    Manifest({{"items",
               {{{"file", "avi.mp4"}},
                {{"file", "wmv.mov"}},
                {{"file", "mp4.wmv"}},
                {{"file", "mov.mpg"}},
                {{"file", "noise.mov"}},
                {{"file", "good.jpg"}}}},
              {"music", {{{"file", "video.m4a"}}, {{"file", "noise.aac"}}}}});
    EXPECT_EQ(Build(), 2);
    EXPECT_EQ(Err(),
              std::string("sspack: avi.mp4: an AVI video under the extension .MP4, which plays only MP4 and MOV videos: "
                          "name it .avi\n"
                          "sspack: wmv.mov: an ASF video under the extension .MOV, which plays only MP4 and MOV videos: "
                          "name it .wmv\n"
                          "sspack: mp4.wmv: an MP4 video under the extension .WMV, which plays no MP4 or MOV videos: "
                          "name it .mp4\n"
                          "sspack: mov.mpg: a MOV video under the extension .MPG, which plays no MP4 or MOV videos: "
                          "name it .mov\n"
                          "sspack: noise.mov: not a video the screen saver can play (it plays AVI, ASF, WMV, MPEG, MP4 "
                          "and MOV)\n"
                          "sspack: video.m4a: not a sound the screen saver can play ") +
                  kPlays + "\n" + "sspack: noise.aac: not a sound the screen saver can play " + kPlays + "\n" +
                  "sspack: nothing written: the screen saver would skip these; fix them, or build anyway with "
                  "--allow-skipped\n");
}

TEST_F(SspackContent, AnItemListWithoutItemsIsRefused) {
    Manifest({{"items", Json::array()}});
    EXPECT_EQ(Build(), 2);
    EXPECT_EQ(Err(),
              "sspack: items: the item list is empty, so the screen saver would show nothing\n"
              "sspack: nothing written: the screen saver would skip these; fix them, or build anyway with "
              "--allow-skipped\n");
}

TEST_F(SspackContent, AllowSkippedBuildsAnywayAndTheCheckFindsTheSamePieces) {
    Put("a.webp", Of(kWebp));
    Put("logo.gif", Of("logo"));
    Put("song.mp3", Of("la la la"));
    Manifest({{"items", {{{"file", "a.webp"}}, {{"file", "good.jpg"}}}},
              {"music", {{{"file", "song.mp3"}}}},
              {"logo", {{"file", "logo.gif"}}}});
    ASSERT_EQ(Build(" --allow-skipped"), 0) << Err();
    EXPECT_EQ(Err(), std::string("sspack: a.webp: a damaged WebP file, or a kind of WebP the screen saver cannot decode "
                                 "(NOT_ENOUGH_DATA)\n") +
                         "sspack: song.mp3: not a sound the screen saver can play " + kPlays + "\n" +
                         "sspack: logo.gif: not a GIF file\n");
    EXPECT_TRUE(std::regex_match(Out(), std::regex(R"(s\.scr: 2 pictures, 1 music track, 120 effects, .* KB\n)")))
        << Out();
    ASSERT_EQ(Build(" --allow-skipped --quiet"), 0);
    EXPECT_EQ(Out() + Err(), "");

    EXPECT_EQ(Sspack("check s.scr"), 1);
    EXPECT_EQ(Out(), std::string("s.scr: items[0]: a damaged WebP file, or a kind of WebP the screen saver cannot "
                                 "decode (NOT_ENOUGH_DATA)\n") +
                         "s.scr: music[0]: not a sound the screen saver can play " + kPlays + "\n" +
                         "s.scr: logo: not a GIF file\n");
}

TEST_F(SspackContent, EveryKindTheScreenSaverShowsOrPlaysPasses) {
    Put("a.png", testing_support::EncodePng(Solid(5, 4)));
    Put("a.tif", testing_support::EncodeTiff(Solid(5, 4), testing_support::TiffKind::RgbLzw));
    Put("a.bmp", testing_support::SolidBmp(5, 4, 1, 2, 3));
    Put("a.ico", testing_support::EncodeIco({{4, 4, 32, testing_support::IconBitmapImage(Solid(4, 4), 32)}}));
    Put("a.emf", EmfHeader());
    Put("a.wmf", WmfHeader());
    testing_support::GifLayout gif{2, 2, {0xFF000000, 0xFFFFFFFF}};
    gif.frames.push_back({0, 0, 2, 2, Bytes(4, 1)});
    Put("a.gif", testing_support::EncodeGif(gif));
    Put("movie.avi", testing_support::MovieAvi(8, 6, 2, false));
    Put("movie.swf", Joined(Of("FWS\x06"), Pattern(40, 9)));
    Put("clip.wmv", Joined(Of(kAsfHeader), Pattern(30, 1)));
    Put("m.wav", testing_support::SilentWav(20));
    Put("m.mp3", testing_support::Mp3Frames(3));
    Put("m.mid", Joined(Of(std::string_view("MThd\0\0\0\6\0\0\0\1\0\x60", 14)), Pattern(10, 2)));
    Put("m.wma", ReadBytes(Path("clip.wmv")));
    Put("movie.mp4", testing_support::IsoMedia({}));
    Put("movie.M4V", testing_support::IsoMedia({.brand = "M4V "}));
    Put("movie.mov", testing_support::IsoMedia({.brand = nullptr, .leading = {"wide", "mdat"}}));
    Put("qt.mov", testing_support::IsoMedia({.brand = "qt  "}));
    Put("m.m4a", testing_support::IsoMedia({.width = 0, .brand = "M4A "}));
    Put("m.aac", testing_support::AdtsFrames(3));
    Manifest({{"items",
               {{{"file", "good.jpg"}},
                {{"file", "a.png"}},
                {{"file", "a.tif"}},
                {{"file", "a.bmp"}},
                {{"file", "a.ico"}},
                {{"file", "a.emf"}},
                {{"file", "a.wmf"}},
                {{"file", "a.gif"}},
                {{"file", "movie.avi"}},
                {{"file", "clip.wmv"}},
                {{"file", "movie.mp4"}},
                {{"file", "movie.M4V"}},
                {{"file", "movie.mov"}},
                {{"file", "qt.mov"}},
                {{"file", "movie.swf"}}}},
              {"masks", {{{"file", "a.gif"}}, {{"file", "a.bmp"}}}},
              {"entrySounds", {{{"file", "m.wav"}}, {{"file", "m.mid"}}, {{"file", "m.aac"}}}},
              {"music", {{{"file", "m.mp3"}}, {{"file", "m.wma"}}, {{"file", "m.wav"}}, {{"file", "m.m4a"}}}},
              {"logo", {{"file", "a.png"}}},
              {"background", {{"file", "good.jpg"}}},
              {"exitBanner", {{"file", "a.bmp"}}},
              {"previewImage", {{"file", "a.bmp"}}}});
    ASSERT_EQ(Build(), 0) << Err();
    EXPECT_EQ(Err(), "");
    EXPECT_EQ(Sspack("check s.scr"), 0) << Out();
}

TEST_F(SspackContent, WithoutARuntimeTheBuilderTakesTheOneBesideItOrTheCrossBuilds) {
    fs::create_directories(Path("build/linux/bin"));
    fs::create_directories(Path("build/win32/bin"));
    fs::copy_file(SSPACK_EXE, Path("build/linux/bin/sspack"));
    Manifest({{"items", {{{"file", "good.jpg"}}}}});
    const std::string sspack = Path("build/linux/bin/sspack");
    EXPECT_EQ(Run(sspack, "build m.json -o s.scr"), 2);
    EXPECT_EQ(Err(), "sspack: no runtime to build on; looked for " + Path("build/linux/bin/saver.scr") + " " +
                         Path("build/win32/bin/saver.scr") +
                         "\nsspack: give one with --runtime FILE (the cross build makes build/win32/bin/saver.scr)\n");

    Put("build/win32/bin/saver.scr", Pattern(900, 7));
    ASSERT_EQ(Run(sspack, "build m.json -o s.scr"), 0) << Err();
    EXPECT_EQ(pkg::ReadPackage(Path("s.scr")).header.PackageSize + 900, std::ssize(ReadBytes(Path("s.scr"))));
    Put("build/linux/bin/saver.scr", Pattern(800, 8));
    ASSERT_EQ(Run(sspack, "build m.json -o s.scr"), 0) << Err();
    EXPECT_EQ(pkg::ReadPackage(Path("s.scr")).header.PackageSize + 800, std::ssize(ReadBytes(Path("s.scr"))));
}

TEST_F(SspackContent, AFolderOfPicturesBecomesASaverInNameOrder) {
    fs::create_directory(Path("photos"));
    Put("photos/b.png", testing_support::EncodePng(Solid(6, 4)));
    Put("photos/A.jpg", testing_support::EncodeJpeg(Solid(6, 4)));
    Put("photos/c.GIF", ReadBytes(Path("good.jpg")));  // a JPEG under a GIF's name is caught
    Put("photos/notes.txt", Of("to do"));
    Put("photos/.thumbs.jpg", Of("hidden"));
    Put("song.wav", testing_support::SilentWav(50));
    const std::string args = "build --pictures photos --music song.wav --name Holiday --runtime runtime.bin -o h.scr";
    EXPECT_EQ(Sspack(args), 2);
    EXPECT_EQ(Err(), std::string("sspack: left out photos/notes.txt: not a picture format the screen saver can show ") +
                         kShows + "\n" +
                         "sspack: photos/c.GIF: a JPEG picture under the extension .GIF; the screen saver takes a "
                         "picture by its extension: name it .jpg\n"
                         "sspack: nothing written: the screen saver would skip these; fix them, or build anyway with "
                         "--allow-skipped\n");

    fs::rename(Path("photos/c.GIF"), Path("photos/c.jpeg"));
    ASSERT_EQ(Sspack(args), 0) << Err();
    EXPECT_TRUE(std::regex_match(Out(), std::regex(R"(h\.scr: 3 pictures, 1 music track, 10 effects, .* KB\n)")))
        << Out();
    const pkg::Package p = pkg::ReadPackage(Path("h.scr"));
    ASSERT_EQ(p.items.size(), 3u);
    EXPECT_EQ(p.items[0].ItemExt, ".JPG");
    EXPECT_EQ(p.items[1].ItemExt, ".PNG");
    EXPECT_EQ(p.items[2].ItemExt, ".JPEG");
    for (const auto& item : p.items) {
        EXPECT_EQ(item.CaptionText, "");
        EXPECT_EQ(item.ItemSizeMode, -1);
    }
    EXPECT_EQ(p.header.Stretch, 0);
    EXPECT_TRUE(p.header.Loop);
    EXPECT_EQ(p.strings[pkg::PackageString::SaverName], "Holiday");
    EXPECT_EQ(p.strings[pkg::PackageString::Effect].size(), 10u);
    ASSERT_EQ(p.sounds.size(), 1u);
    EXPECT_EQ(p.sounds[0].ItemExt, ".WAV");

    fs::create_directory(Path("empty"));
    EXPECT_EQ(Sspack("build --pictures empty --name E --runtime runtime.bin -o e.scr"), 2);
    EXPECT_EQ(Err(), "sspack: --pictures: \"empty\" holds no pictures or videos (JPEG, PNG, GIF, TIFF, BMP, ICO, WMF, EMF, "
                     "HEIC, HEIF, AVIF, WebP; AVI, ASF, WMV, MPEG, MP4, M4V, MOV)\n");
    EXPECT_EQ(Sspack("build --pictures photos --runtime runtime.bin -o e.scr"), 2);
    EXPECT_NE(Err().find("--name NAME is needed too"), std::string::npos) << Err();
    EXPECT_EQ(Sspack("build m.json --pictures photos --name E --runtime runtime.bin -o e.scr"), 2);
    EXPECT_EQ(Sspack("build --runtime runtime.bin -o e.scr"), 2);
    EXPECT_NE(Err().find("give a MANIFEST or --pictures DIR"), std::string::npos) << Err();
}

}  // namespace
