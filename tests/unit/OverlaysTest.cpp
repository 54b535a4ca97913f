// The pieces a frame shows besides its item, built from real packages: the background with its
// picture and its per-item refresh, the logo, the masks, and the captions.

#include <gtest/gtest.h>

#include "common/Random.h"
#include "package/PackageReader.h"
#include "slideshow/Background.h"
#include "slideshow/Caption.h"
#include "slideshow/Overlays.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/Savers.h"

namespace {

using gfx::Color32;
using gfx::TBitmap32;
using testing_support::Json;

constexpr Color32 kRed = 0xFFFF0000u;
constexpr Color32 kGreen = 0xFF00FF00u;
constexpr Color32 kBlue = 0xFF0000FFu;
constexpr Color32 kGrey = 0xFF808080u;
constexpr Color32 kWhite = 0xFFFFFFFFu;

// `base` with a rectangle of another colour.
TBitmap32 With(int w, int h, Color32 base, const gfx::IntRect& r, Color32 color) {
    TBitmap32 b(w, h, base);
    b.FillRect(r, color);
    return b;
}

class Overlays : public testing_support::SaverTest {
protected:
    // Builds a saver from the manifest, reads its package and builds the overlays on a frame size.
    void Make(const Json& manifest, gfx::IntSize client = {800, 600}) {
        file = Build(manifest);
        package = pkg::ReadPackage(file);
        overlays.Build(package, file, client);
    }

    std::string file;
    pkg::Package package;
    show::TOverlays overlays;
};

TEST_F(Overlays, TheLogoSitsAtItsAnchorOpaqueOrWithoutItsKeyColour) {
    Put("logo.bmp", testing_support::EncodeBmp(With(100, 50, kRed, {50, 0, 100, 50}, kGreen)));
    Make({{"header", {{"LogoPosition", 4}, {"LogoOffsetX", 10}, {"LogoOffsetY", 10}}},
          {"logo", {{"file", "logo.bmp"}}}});
    TBitmap32 frame(800, 600, kGrey);
    overlays.DrawLogo(frame);
    TBitmap32 expected = With(800, 600, kGrey, {690, 540, 790, 590}, kRed);
    expected.FillRect({740, 540, 790, 590}, kGreen);
    EXPECT_EQ(frame, expected) << "at (690, 540), its red background colour included";

    Make({{"header", {{"LogoTransparentColor", "#FF0000"}}}, {"logo", {{"file", "logo.bmp"}}}});
    frame.Clear(kGrey);
    overlays.DrawLogo(frame);
    EXPECT_EQ(frame, With(800, 600, kGrey, {50, 0, 100, 50}, kGreen));

    Put("logo.png", testing_support::Pattern(300, 4));
    Make({{"logo", {{"file", "logo.png"}}}});
    EXPECT_FALSE(overlays.HasLogo()) << "an unreadable logo leaves none";
}

TEST_F(Overlays, ABackgroundPictureThatCannotBeDecodedFailsThePackage) {
    Put("bg.png", testing_support::Pattern(300, 5));
    file = Build({{"background", {{"file", "bg.png"}}}});
    package = pkg::ReadPackage(file);
    EXPECT_THROW(overlays.Build(package, file, {100, 50}), pkg::PackageError);
}

TEST_F(Overlays, TheDesktopBackgroundIsACopyOfTheScreenAndIsNeverRefreshed) {
    Machine().desktopColor = 0xFF123456u;
    Make({{"header", {{"DesktopBackground", true}, {"RandomColors", true}}}}, {64, 48});
    EXPECT_EQ(overlays.Background(), TBitmap32(64, 48, 0xFF123456u));
    core::SetRandSeed(7);
    pkg::PackageHeader h = package.header;
    overlays.RefreshBackground(h);
    EXPECT_EQ(core::RandSeed(), 7u) << "nothing drawn from the generator";
    EXPECT_EQ(h, package.header);
}

TEST_F(Overlays, RefreshingDrawsTheColoursThenTheStyleAndRepaintsUnderThePicture) {
    Put("bg.png", testing_support::EncodePng(TBitmap32(10, 10, kRed)));
    Make({{"header",
           {{"RandomColors", true}, {"RandomGradientStyle", true}, {"GradientStyle", 1}, {"BackgroundImageMode", 2}}},
          {"background", {{"file", "bg.png"}}}},
         {100, 50});
    core::SetRandSeed(2024);
    std::int32_t draws[7];
    for (int i = 0; i < 7; ++i) {
        draws[i] = i < 6 ? core::Random(256) : core::Random(8) + 1;
    }
    core::SetRandSeed(2024);
    pkg::PackageHeader h = package.header;
    overlays.RefreshBackground(h);
    EXPECT_EQ(h.BackgroundColor, draws[0] | (draws[1] << 8) | (draws[2] << 16)) << "red, green, blue";
    EXPECT_EQ(h.BackgroundColor2, draws[3] | (draws[4] << 8) | (draws[5] << 16));
    EXPECT_EQ(h.GradientStyle, draws[6]);
    TBitmap32 expected(100, 50);
    show::PaintGradient(expected, h.GradientStyle, h.BackgroundColor, h.BackgroundColor2);
    expected.FillRect({45, 20, 55, 30}, kRed);
    EXPECT_EQ(overlays.Background(), expected) << "the picture centred on the new gradient";

    h.RandomColors = false;  // only the style: its draw comes first
    const pkg::PackageHeader before = h;
    core::SetRandSeed(99);
    const std::int32_t style = core::Random(8) + 1;
    core::SetRandSeed(99);
    overlays.RefreshBackground(h);
    EXPECT_EQ(h.GradientStyle, style);
    EXPECT_EQ(h.BackgroundColor, before.BackgroundColor);
}

TEST(BackgroundPicture, TiledFittedAndCentred) {
    TBitmap32 tile(4, 3);
    for (int i = 0; i < 12; ++i) {
        tile.Bits()[i] = gfx::MakeColor32(static_cast<std::uint8_t>(i), 0, 9);
    }
    tile.SetDrawMode(gfx::DrawMode::Blend);
    TBitmap32 tiled(10, 7, kGrey);
    show::DrawBackgroundPicture(tiled, tile, show::kBackgroundTiled);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(tiled.Pixel(x, y), tile.Pixel(x % 4, y % 3)) << x << "," << y;
        }
    }
    auto drawn = [](int w, int h, Color32 color, std::int32_t mode) {
        TBitmap32 picture(w, h, color);
        picture.SetPixel(0, 0, 0x00FF00FFu);  // transparent: shows the background
        picture.SetDrawMode(gfx::DrawMode::Blend);
        TBitmap32 backg(100, 50, kGrey);
        show::DrawBackgroundPicture(backg, picture, mode);
        return backg;
    };
    TBitmap32 centred = With(100, 50, kGrey, {45, 20, 55, 30}, kRed);
    centred.SetPixel(45, 20, kGrey);
    EXPECT_EQ(drawn(10, 10, kRed, 2), centred);
    EXPECT_EQ(drawn(10, 10, kRed, 1).Pixel(25, 49), kRed) << "fitted: (25, 0, 75, 50)";
    EXPECT_EQ(drawn(10, 10, kRed, 1).Pixel(24, 49), kGrey);
    EXPECT_EQ(drawn(10, 10, kRed, 1).Pixel(75, 49), kGrey);
    const TBitmap32 wide = drawn(120, 10, kGreen, 7);
    EXPECT_EQ(wide, drawn(120, 10, kGreen, 1)) << "larger than the background: fitted instead of centred";
    EXPECT_EQ(wide.Pixel(50, 20), kGrey) << "fitted: (0, 21, 100, 29)";
    EXPECT_EQ(wide.Pixel(50, 21), kGreen);
    EXPECT_EQ(wide.Pixel(50, 28), kGreen);
    EXPECT_EQ(wide.Pixel(50, 29), kGrey);
}

TEST_F(Overlays, MasksOfEachKindAreOpaqueAndTheirFilesGo) {
    Put("m.bmp", testing_support::EncodeBmp(With(8, 4, kWhite, {4, 0, 8, 4}, kBlue)));
    TBitmap32 faded = With(8, 4, kWhite, {4, 0, 8, 4}, 0x00FFFFFFu);  // transparent white hides like black
    faded.SetPixel(0, 0, 0x80FFFFFFu);
    Put("m.png", testing_support::EncodePng(faded));
    testing_support::GifLayout gif{4, 1, {kWhite, kRed}, 0, std::nullopt, {}};
    gif.frames.push_back({0, 0, 4, 1, {0, 1, 1, 0}, {}, false, true, 0, 0, 1});
    Put("m.gif", testing_support::EncodeGif(gif));
    Put("bad.png", testing_support::Pattern(100, 6));
    Make({{"masks", {{{"file", "m.bmp"}}, {{"file", "m.png"}}, {{"file", "m.gif"}}, {{"file", "bad.png"}}}}});

    EXPECT_EQ(overlays.LoadMask(package, file, 0), With(8, 4, kWhite, {4, 0, 8, 4}, kBlue));
    TBitmap32 png = With(8, 4, kWhite, {4, 0, 8, 4}, gfx::kOpaqueBlack);
    png.SetPixel(0, 0, 0xFF808080u);
    EXPECT_EQ(overlays.LoadMask(package, file, 1), png);
    EXPECT_EQ(overlays.LoadMask(package, file, 2), With(4, 1, kWhite, {1, 0, 3, 1}, gfx::kOpaqueBlack));
    for (const std::int32_t broken : {3, 4, -1}) {
        EXPECT_EQ(overlays.LoadMask(package, file, broken), std::nullopt) << broken;
    }
    for (const auto& name : testing_support::ListFiles(Temp())) {
        EXPECT_NE(name.rfind("SSMASK", 0), 0u) << name << " was left behind";
    }
}

// White text on a red box, centred, in the default font.
pkg::ItemRecord CaptionItem(std::string text) {
    pkg::ItemRecord item;
    item.CaptionText = std::move(text);
    item.CaptionPosition = 6;
    item.CaptionFontSize = 14;
    item.CaptionColor = 0xFFFFFF;
    item.CaptionBoxColor = 0x0000FF;
    return item;
}

TEST(Caption, TheBoxIsFiveLargerThanTheCentredBlockInVerdanaByDefault) {
    pkg::ItemRecord item = CaptionItem("Caption");
    plat::Font verdana;
    verdana.size = 14;
    const gfx::IntSize block = plat::MeasureText(verdana, "Caption");
    const gfx::IntRect text = gfx::IntRect::FromSize((400 - block.width) / 2, (300 - block.height) / 2, block.width,
                                                     block.height);
    EXPECT_EQ(show::CaptionBlock(item, {400, 300}), text);
    TBitmap32 frame(400, 300, kGrey);
    show::DrawCaption(item, frame);
    const gfx::IntRect box{text.left - 5, text.top - 5, text.right + 5, text.bottom + 5};
    for (int y = box.top - 1; y <= box.bottom; ++y) {
        for (int x = box.left - 1; x <= box.right; ++x) {
            if (!text.Contains({x, y})) {
                ASSERT_EQ(frame.Pixel(x, y), box.Contains({x, y}) ? kRed : kGrey) << x << "," << y;
            }
        }
    }
    item.CaptionFontName = "Verdana";
    TBitmap32 named(400, 300, kGrey);
    show::DrawCaption(item, named);
    EXPECT_EQ(frame, named) << "an empty font name is Verdana";
    item.CaptionText.clear();
    show::DrawCaption(item, named);
    EXPECT_EQ(frame, named) << "an empty caption draws nothing";
}

TEST(Caption, TheShadowLiesOnePixelRightAndDownAndSplitLinesOneLetterApart) {
    pkg::ItemRecord item = CaptionItem("Ab\r\nAb");
    item.CaptionNoBox = 1;
    TBitmap32 plain(300, 100, kGrey);
    show::DrawCaption(item, plain);
    item.CaptionShadow = 1;
    TBitmap32 shadowed(300, 100, kGrey);
    show::DrawCaption(item, shadowed);
    int black = 0;
    for (int y = 1; y < 100; ++y) {
        for (int x = 1; x < 300; ++x) {
            const bool shadow = plain.Pixel(x, y) == kGrey && plain.Pixel(x - 1, y - 1) != kGrey;
            ASSERT_EQ(shadowed.Pixel(x, y), shadow ? gfx::kOpaqueBlack : plain.Pixel(x, y)) << x << "," << y;
            black += shadow;
        }
    }
    EXPECT_GT(black, 10);

    // Split, each line is drawn on its own, anti-aliased, one "A" height below the one before.
    item.CaptionShadow = 0;
    item.CaptionSplitLines = 1;
    item.CaptionPosition = 0;
    TBitmap32 lines(300, 100, kGrey);
    show::DrawCaption(item, lines);
    item.CaptionText = "Ab";
    TBitmap32 first(300, 100, kGrey);
    show::DrawCaption(item, first);
    const int step = plat::MeasureText(show::CaptionFont(item), "A").height;
    int blended = 0;
    for (int y = 0; y < step; ++y) {
        for (int x = 0; x < 300; ++x) {
            ASSERT_EQ(lines.Pixel(x, y + step), first.Pixel(x, y)) << "the second line, " << x << "," << y;
            blended += first.Pixel(x, y) != kGrey && first.Pixel(x, y) != kWhite;
        }
    }
    EXPECT_GT(blended, 0) << "anti-aliased edges";
}

}  // namespace
