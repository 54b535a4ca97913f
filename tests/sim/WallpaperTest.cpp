// F2 on the simulated machine: the picture on screen becomes the desktop wallpaper, as the item is
// stored, in a file of the Windows folder or of the user's own, with the desktop's five values, and
// the saver runs on.

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/decode/PictureFile.h"
#include "platform/Files.h"
#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Bytes;
using testing_support::Json;
using testing_support::SaverRunTest;

const std::string kDesktop = "Control Panel\\Desktop";

// Colours that differ from pixel to pixel, so that a picture turned, filtered or re-sized shows.
gfx::TBitmap32 Picture(int w, int h) {
    gfx::TBitmap32 p(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            p.SetPixel(x, y, gfx::MakeColor32(static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8),
                                              static_cast<std::uint8_t>(x * y)));
        }
    }
    return p;
}

class Wallpaper : public SaverRunTest {
protected:
    Wallpaper() {
        std::filesystem::create_directories(Dir().File("windows"));
        std::filesystem::create_directories(Dir().File("appdata"));
        Fresh();
    }

    // A fresh machine whose folders are the test's own, without a wallpaper file yet.
    void Fresh() {
        sim::Reset();
        trace.clear();
        Machine().tempPath = Temp();
        Machine().windowsFolder = Dir().File("windows");
        Machine().appDataFolder = Dir().File("appdata");
        plat::RemoveFile(WindowsFile());
    }

    // A saver of one item (as the manifest gives it) that F2 may make the wallpaper.
    std::string Saver(const Json& item, const Json& header = Json::object(), const Json& extra = Json::object()) {
        Json h = {{"ExitKeyboard", true}, {"AllowWallpaperKey", true}, {"Seconds", 60}, {"Stretch", 2}};
        h.update(header);
        Json manifest = {{"header", h}, {"strings", {{"SaverName", "Paper"}}}, {"items", {item}}};
        manifest.update(extra);
        return Build(manifest);
    }

    // F2 pressed and released at one second; the run goes on to three.
    int PressF2(const std::string& saver, const std::function<void(host::TSSWindow&)>& onCreated = {}) {
        Key(1000, plat::VK_F2);
        Key(1100, plat::VK_F2, plat::WM_KEYUP);
        return Run(saver, {"/s"}, 3000, onCreated);
    }

    std::string WindowsFile() { return Dir().File("windows") + "/Screen Saver Wallpaper.bmp"; }

    static std::map<std::string, std::string> DesktopValues() {
        std::map<std::string, std::string> values;
        for (const std::string& name : sim::M().registry.ValueNames(kDesktop)) {
            values[name] = sim::M().registry.Get(kDesktop, name)->text;
        }
        return values;
    }

    static std::map<std::string, std::string> Values(const std::string& path, const char* style) {
        return {{"Wallpaper", path}, {"TileWallpaper", "0"}, {"WallpaperStyle", style},
                {"WallpaperOriginX", "0"}, {"WallpaperOriginY", "0"}};
    }

    static gfx::TBitmap32 Decoded(const std::string& file) {
        const auto picture = gfx::LoadPictureFile(file);
        return picture && !picture->frames.empty() ? picture->frames[0].bitmap : gfx::TBitmap32();
    }
};

TEST_F(Wallpaper, AJpegBecomesABitmapOfTheDecodedPictureStyledByTheStretchSetting) {
    Put("photo.jpg", testing_support::EncodeJpeg(Picture(40, 30)));
    const gfx::TBitmap32 expected = Decoded(Path("photo.jpg"));
    for (const auto& [stretch, style] : {std::pair{1, "2"}, std::pair{0, "0"}, std::pair{2, "0"}}) {
        gfx::TBitmap32 screen;
        const int code = PressF2(Saver({{"file", "photo.jpg"}}, {{"Stretch", stretch}}), [&](host::TSSWindow& w) {
            sim::At(2000, [&] { screen = sim::AsSim(w.Image32()).Canvas(); });
        });
        EXPECT_EQ(code, -1) << "the saver runs on, the key's release included";
        EXPECT_EQ(Decoded(WindowsFile()), expected) << stretch;
        EXPECT_EQ(DesktopValues(), Values(WindowsFile(), style)) << stretch;
        EXPECT_EQ(Machine().wallpapers, std::vector<std::string>{WindowsFile()}) << "the path, not a null name";
        EXPECT_FALSE(plat::FileExists(Temp() + "SSWIMG.JPG"));
        // The notice, black on white, at (100, 200).
        ASSERT_FALSE(screen.Empty());
        EXPECT_EQ(screen.Pixel(100, 200), 0xFFFFFFFFu);
        bool dark = false;
        for (int y = 200; y < 212; ++y) {
            for (int x = 100; x < 260; ++x) {
                dark = dark || gfx::GreenOf(screen.Pixel(x, y)) < 64;
            }
        }
        EXPECT_TRUE(dark) << "the notice's text";
        Fresh();
    }
}

TEST_F(Wallpaper, ThePictureIsTheItemAsStoredWithoutFiltersMaskLogoOrCaption) {
    Bytes bmp = testing_support::EncodeBmp(Picture(30, 20));
    bmp.insert(bmp.end(), {'e', 'x', 't', 'r', 'a'});  // a re-encoded file would lose these
    Put("item.bmp", bmp);
    Put("logo.png", testing_support::EncodePng(gfx::TBitmap32(16, 16, 0xFFFF0000u)));
    Put("mask.png", testing_support::EncodePng(gfx::TBitmap32(30, 20, 0xFF000000u)));
    const Json extra = {{"logo", {{"file", "logo.png"}}}, {"masks", {{{"file", "mask.png"}}}}};
    const Json dressed = {{"filters", 7}, {"mask", 0}, {"caption", {{"text", "A caption"}}}};
    Json bmpItem = dressed;
    bmpItem["file"] = "item.bmp";
    PressF2(Saver(bmpItem, Json::object(), extra));
    EXPECT_EQ(testing_support::ReadBytes(WindowsFile()), bmp) << "byte for byte";

    Fresh();
    Put("item.png", testing_support::EncodePng(Picture(30, 20)));
    Json pngItem = dressed;
    pngItem["file"] = "item.png";
    PressF2(Saver(pngItem, Json::object(), extra));
    EXPECT_EQ(Decoded(WindowsFile()), Picture(30, 20));
}

TEST_F(Wallpaper, APortraitPhotoBecomesAnUprightWallpaper) {
    // Stored 40 x 30 with EXIF orientation 6: the wallpaper is the upright 30 x 40 picture.
    Put("portrait.jpg", testing_support::WithExifOrientation(testing_support::EncodeJpeg(Picture(40, 30)), 6));
    PressF2(Saver({{"file", "portrait.jpg"}}));
    const gfx::TBitmap32 wallpaper = Decoded(WindowsFile());
    EXPECT_EQ(wallpaper.Width(), 30);
    EXPECT_EQ(wallpaper.Height(), 40);
    EXPECT_EQ(wallpaper, Decoded(Path("portrait.jpg")));
}

TEST_F(Wallpaper, AGifGivesItsFirstFrameOnBlackWhereItIsTransparent) {
    testing_support::GifLayout gif{4, 2, {0xFFFF0000u, 0xFF00FF00u}, 0, std::nullopt, {}};
    gif.frames.push_back({0, 0, 4, 2, {0, 1, 1, 0, 1, 0, 0, 1}, {}, false, true, 50, 0, 1});
    gif.frames.push_back({0, 0, 4, 2, {1, 1, 1, 1, 1, 1, 1, 1}, {}, false, true, 50, 0, -1});
    Put("anim.gif", testing_support::EncodeGif(gif));
    PressF2(Saver({{"file", "anim.gif"}}));
    gfx::TBitmap32 expected(4, 2, gfx::kOpaqueBlack);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{3, 0}, std::pair{1, 1}, std::pair{2, 1}}) {
        expected.SetPixel(x, y, 0xFFFF0000u);
    }
    EXPECT_EQ(Decoded(WindowsFile()), expected);
}

TEST_F(Wallpaper, F2DoesNothingWhileAMovieShowsOrWithoutTheKeyboardExit) {
    Put("movie.avi", testing_support::MovieAvi(64, 48, 100, false));
    Put("photo.png", testing_support::EncodePng(Picture(20, 20)));
    struct Case {
        const char* what;
        Json item;
        Json header;
    };
    for (const Case& c : {Case{"a video plays", {{"file", "movie.avi"}}, Json::object()},
                          Case{"Esc only", {{"file", "photo.png"}}, {{"ExitKeyboard", false}, {"ExitESC", true}}}}) {
        Fresh();
        EXPECT_EQ(PressF2(Saver(c.item, c.header)), -1) << c.what;
        EXPECT_FALSE(plat::FileExists(WindowsFile())) << c.what;
        EXPECT_TRUE(DesktopValues().empty()) << c.what;
        EXPECT_TRUE(Machine().wallpapers.empty()) << c.what;
    }
}

TEST_F(Wallpaper, TheKeysReleaseIsPartOfThePressOnlyTheNextKeyEndsTheSaver) {
    Put("photo.png", testing_support::EncodePng(Picture(20, 20)));
    Key(1000, plat::VK_F2);
    Key(1100, plat::VK_F2, plat::WM_KEYUP);
    Key(1200, 'A', plat::WM_KEYUP);  // a release without its press still counts, as ever
    EXPECT_EQ(Run(Saver({{"file", "photo.png"}}), {"/s"}, 3000), 0);
    EXPECT_GE(sim::Now(), 1200u) << "not on F2's release";
    EXPECT_LE(sim::Now(), 1201u);
    EXPECT_TRUE(plat::FileExists(WindowsFile()));
}

TEST_F(Wallpaper, AWindowsFolderThatCannotBeWrittenGivesWayToTheUsersOwn) {
    Put("photo.png", testing_support::EncodePng(Picture(20, 20)));
    Machine().windowsFolder = Dir().File("no such folder");
    PressF2(Saver({{"file", "photo.png"}}));
    const std::string own = Dir().File("appdata") + "/Tavolisk/Screen Saver Wallpaper.bmp";
    EXPECT_EQ(Decoded(own), Picture(20, 20));
    EXPECT_EQ(DesktopValues(), Values(own, "0"));
    EXPECT_EQ(Machine().wallpapers, std::vector<std::string>{own});
}

TEST_F(Wallpaper, WhenNoFileCanBeWrittenTheDesktopKeepsWhatItHad) {
    Put("photo.png", testing_support::EncodePng(Picture(20, 20)));
    Machine().windowsFolder = Dir().File("no such folder");
    Machine().appDataFolder.reset();
    Machine().registry.SetString(kDesktop, "Wallpaper", "C:\\old.bmp");
    EXPECT_EQ(PressF2(Saver({{"file", "photo.png"}})), -1);
    EXPECT_EQ(DesktopValues(), (std::map<std::string, std::string>{{"Wallpaper", "C:\\old.bmp"}}));
    EXPECT_TRUE(Machine().wallpapers.empty());
    EXPECT_FALSE(plat::FileExists(Temp() + "SSWIMG.PNG"));
}

}  // namespace
