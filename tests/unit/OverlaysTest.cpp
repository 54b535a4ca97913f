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

// Left half one colour, right half another.
TBitmap32 Halves(int w, int h, Color32 left, Color32 right) {
    TBitmap32 b(w, h, left);
    b.FillRect({w / 2, 0, w, h}, right);
    return b;
}

class Overlays : public testing_support::SaverTest {
protected:
    // Builds a saver from the manifest, reads its package and builds the overlays on a frame size.
    void Make(Json manifest, gfx::IntSize client = {800, 600}) {
        file = Build(manifest);
        package = pkg::ReadPackage(file);
        overlays.Build(package, file, client);
    }

    std::string file;
    pkg::Package package;
    show::TOverlays overlays;
};

TEST_F(Overlays, TheLogoSitsAtItsAnchorAndStaysOpaqueWithoutAKeyColour) {
    Put("logo.bmp", testing_support::EncodeBmp(Halves(100, 50, kRed, kGreen)));
    Make({{"header", {{"LogoPosition", 4}, {"LogoOffsetX", 10}, {"LogoOffsetY", 10}}},
          {"logo", {{"file", "logo.bmp"}}}});
    ASSERT_TRUE(overlays.HasLogo());
    TBitmap32 frame(800, 600, kGrey);
    overlays.DrawLogo(frame);
    EXPECT_EQ(frame.Pixel(690, 540), kRed);
    EXPECT_EQ(frame.Pixel(789, 589), kGreen);
    for (const auto& [x, y] : {std::pair{689, 540}, {690, 539}, {790, 589}, {789, 590}}) {
        EXPECT_EQ(frame.Pixel(x, y), kGrey) << x << "," << y;
    }
    TBitmap32 around(800, 600, kGrey);
    around.FillRect({690, 540, 790, 590}, kRed);
    around.FillRect({740, 540, 790, 590}, kGreen);
    EXPECT_EQ(frame, around) << "the whole logo, its background colour included";
}

TEST_F(Overlays, TheLogoKeyColourLetsTheFrameShowThrough) {
    Put("logo.png", testing_support::EncodePng(Halves(100, 50, kRed, kGreen)));
    Make({{"header", {{"LogoPosition", 0}, {"LogoTransparentColor", "#FF0000"}}}, {"logo", {{"file", "logo.png"}}}});
    TBitmap32 frame(800, 600, kGrey);
    overlays.DrawLogo(frame);
    EXPECT_EQ(frame.Pixel(0, 0), kGrey);
    EXPECT_EQ(frame.Pixel(49, 49), kGrey);
    EXPECT_EQ(frame.Pixel(50, 0), kGreen);
}

TEST_F(Overlays, AnUnreadableLogoLeavesNone) {
    Put("logo.png", testing_support::Pattern(300, 4));
    Make({{"logo", {{"file", "logo.png"}}}});
    EXPECT_FALSE(overlays.HasLogo());
    TBitmap32 frame(800, 600, kGrey);
    overlays.DrawLogo(frame);
    EXPECT_EQ(frame, TBitmap32(800, 600, kGrey));
}

TEST_F(Overlays, TheBackgroundIsTheGradientWithItsPicture) {
    Put("bg.png", testing_support::EncodePng(TBitmap32(10, 10, kRed)));
    Make({{"header",
           {{"BackgroundColor", "#0000FF"}, {"BackgroundColor2", "#0000FF"}, {"BackgroundImageMode", 2}}},
          {"background", {{"file", "bg.png"}}}},
         {100, 50});
    TBitmap32 expected(100, 50, kBlue);
    expected.FillRect({45, 20, 55, 30}, kRed);
    EXPECT_EQ(overlays.Background(), expected) << "centred";
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
    const std::int32_t r = core::Random(256), g = core::Random(256), b = core::Random(256);
    const std::int32_t r2 = core::Random(256), g2 = core::Random(256), b2 = core::Random(256);
    const std::int32_t style = core::Random(8) + 1;

    core::SetRandSeed(2024);
    pkg::PackageHeader h = package.header;
    overlays.RefreshBackground(h);
    EXPECT_EQ(h.BackgroundColor, r | (g << 8) | (b << 16));
    EXPECT_EQ(h.BackgroundColor2, r2 | (g2 << 8) | (b2 << 16));
    EXPECT_EQ(h.GradientStyle, style);
    TBitmap32 expected(100, 50);
    show::PaintGradient(expected, style, h.BackgroundColor, h.BackgroundColor2);
    expected.FillRect({45, 20, 55, 30}, kRed);
    EXPECT_EQ(overlays.Background(), expected);

    // Only the style asked for: its draw is the first.
    h.RandomColors = false;
    const pkg::PackageHeader before = h;
    core::SetRandSeed(99);
    const std::int32_t next = core::Random(8) + 1;
    core::SetRandSeed(99);
    overlays.RefreshBackground(h);
    EXPECT_EQ(h.GradientStyle, next);
    EXPECT_EQ(h.BackgroundColor, before.BackgroundColor);
    EXPECT_EQ(h.BackgroundColor2, before.BackgroundColor2);
}

TEST(BackgroundPicture, TiledFittedAndCentred) {
    TBitmap32 tile(4, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            tile.SetPixel(x, y, gfx::MakeColor32(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 9));
        }
    }
    tile.SetDrawMode(gfx::DrawMode::Blend);
    TBitmap32 tiled(10, 7, kGrey);
    show::DrawBackgroundPicture(tiled, tile, show::kBackgroundTiled);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(tiled.Pixel(x, y), tile.Pixel(x % 4, y % 3)) << x << "," << y;
        }
    }

    TBitmap32 square(10, 10, kRed);
    square.SetDrawMode(gfx::DrawMode::Blend);
    TBitmap32 fitted(100, 50, kGrey);
    show::DrawBackgroundPicture(fitted, square, show::kBackgroundFitted);
    TBitmap32 expected(100, 50, kGrey);
    expected.FillRect({25, 0, 75, 50}, kRed);
    EXPECT_EQ(fitted, expected);

    TBitmap32 wide(120, 10, kGreen);
    wide.SetDrawMode(gfx::DrawMode::Blend);
    TBitmap32 tooLarge(100, 50, kGrey);
    show::DrawBackgroundPicture(tooLarge, wide, 2);
    expected.Clear(kGrey);
    expected.FillRect({0, 21, 100, 29}, kGreen);
    EXPECT_EQ(tooLarge, expected) << "larger than the background: fitted (100 x 8) instead of centred";

    square.SetPixel(0, 0, 0x00FF0000u);
    TBitmap32 centred(20, 20, kGrey);
    show::DrawBackgroundPicture(centred, square, 7);
    EXPECT_EQ(centred.Pixel(5, 5), kGrey) << "a transparent pixel shows the background";
    EXPECT_EQ(centred.Pixel(6, 5), kRed);
    EXPECT_EQ(centred.Pixel(4, 5), kGrey);
}

TEST_F(Overlays, MasksOfEachKindAreOpaqueAndTheirFilesGo) {
    Put("m.bmp", testing_support::EncodeBmp(Halves(8, 4, kWhite, kBlue)));
    TBitmap32 faded(8, 4, kWhite);
    faded.FillRect({4, 0, 8, 4}, 0x00FFFFFFu);  // transparent white: hides the image like black
    faded.SetPixel(0, 0, 0x80FFFFFFu);
    Put("m.png", testing_support::EncodePng(faded));
    testing_support::GifSpec gif{4, 2, {kWhite, kRed}, 0, std::nullopt, {}};
    gif.frames.push_back({0, 0, 4, 2, {0, 1, 1, 0, 0, 0, 1, 1}, {}, false, true, 0, 0, 1});
    Put("m.gif", testing_support::EncodeGif(gif));
    Put("bad.png", testing_support::Pattern(100, 6));
    Make({{"masks", {{{"file", "m.bmp"}}, {{"file", "m.png"}}, {{"file", "m.gif"}}, {{"file", "bad.png"}}}}});

    EXPECT_EQ(overlays.LoadMask(package, file, 0), Halves(8, 4, kWhite, kBlue));
    TBitmap32 png = Halves(8, 4, kWhite, gfx::kOpaqueBlack);
    png.SetPixel(0, 0, 0xFF808080u);
    EXPECT_EQ(overlays.LoadMask(package, file, 1), png);
    TBitmap32 gifMask(4, 2, kWhite);
    for (const auto& [x, y] : {std::pair{1, 0}, {2, 0}, {2, 1}, {3, 1}}) {
        gifMask.SetPixel(x, y, gfx::kOpaqueBlack);
    }
    EXPECT_EQ(overlays.LoadMask(package, file, 2), gifMask);
    EXPECT_EQ(overlays.LoadMask(package, file, 3), std::nullopt);
    EXPECT_EQ(overlays.LoadMask(package, file, 4), std::nullopt);
    EXPECT_EQ(overlays.LoadMask(package, file, -1), std::nullopt);
    for (const auto& name : testing_support::ListFiles(Temp())) {
        EXPECT_NE(name.rfind("SSMASK", 0), 0u) << name << " was left behind";
    }
}

// A caption of its own: white text on a red box, centred.
pkg::ItemRecord CaptionItem(std::string text) {
    pkg::ItemRecord item;
    item.CaptionText = std::move(text);
    item.CaptionPosition = 6;
    item.CaptionFontSize = 14;
    item.CaptionColor = 0xFFFFFF;
    item.CaptionBoxColor = 0x0000FF;
    return item;
}

TEST(Caption, TheBoxIsFiveLargerThanTheCentredBlock) {
    const pkg::ItemRecord item = CaptionItem("Caption");
    plat::Font font;
    font.size = 14;
    const gfx::IntSize block = plat::MeasureText(font, "Caption");
    const int x = (400 - block.width) / 2;
    const int y = (300 - block.height) / 2;
    EXPECT_EQ(show::CaptionBlock(item, {400, 300}), gfx::IntRect::FromSize(x, y, block.width, block.height));

    TBitmap32 frame(400, 300, kGrey);
    show::DrawCaption(item, frame);
    const gfx::IntRect box{x - 5, y - 5, x + block.width + 5, y + block.height + 5};
    for (int py = box.top - 1; py <= box.bottom; ++py) {
        for (int px = box.left - 1; px <= box.right; ++px) {
            const bool inBox = box.Contains({px, py});
            const bool margin = inBox && !gfx::IntRect{x, y, x + block.width, y + block.height}.Contains({px, py});
            if (!inBox) {
                ASSERT_EQ(frame.Pixel(px, py), kGrey) << px << "," << py;
            } else if (margin) {
                ASSERT_EQ(frame.Pixel(px, py), kRed) << px << "," << py;
            }
        }
    }
    int white = 0;
    for (int py = y; py < y + block.height; ++py) {
        for (int px = x; px < x + block.width; ++px) {
            white += frame.Pixel(px, py) == kWhite;
        }
    }
    EXPECT_GT(white, 20) << "the text is drawn in its colour";
}

TEST(Caption, AnEmptyFontNameIsVerdanaAndAnEmptyTextDrawsNothing) {
    pkg::ItemRecord item = CaptionItem("Font");
    EXPECT_EQ(show::CaptionFont(item).name, "Verdana");
    TBitmap32 unnamed(200, 100, kGrey);
    show::DrawCaption(item, unnamed);
    item.CaptionFontName = "Verdana";
    TBitmap32 named(200, 100, kGrey);
    show::DrawCaption(item, named);
    EXPECT_EQ(unnamed, named);

    item.CaptionText.clear();
    TBitmap32 frame(200, 100, kGrey);
    show::DrawCaption(item, frame);
    EXPECT_EQ(frame, TBitmap32(200, 100, kGrey));
}

TEST(Caption, TheShadowIsTheTextOnePixelRightAndDownInBlack) {
    pkg::ItemRecord item = CaptionItem("Shadow");
    item.CaptionNoBox = 1;
    TBitmap32 plain(300, 100, kGrey);
    show::DrawCaption(item, plain);
    item.CaptionShadow = 1;
    TBitmap32 shadowed(300, 100, kGrey);
    show::DrawCaption(item, shadowed);
    int black = 0;
    for (int y = 1; y < 100; ++y) {
        for (int x = 1; x < 300; ++x) {
            const bool text = plain.Pixel(x, y) != kGrey;
            const bool shadow = !text && plain.Pixel(x - 1, y - 1) != kGrey;
            ASSERT_EQ(shadowed.Pixel(x, y), shadow ? gfx::kOpaqueBlack : plain.Pixel(x, y)) << x << "," << y;
            black += shadow;
        }
    }
    EXPECT_GT(black, 10);
}

TEST(Caption, SplitLinesAreAntialiasedAndOneLetterHeightApart) {
    pkg::ItemRecord item = CaptionItem("Ab\r\nAb");
    item.CaptionNoBox = 1;
    item.CaptionPosition = 0;
    item.CaptionColor = 0x000000;
    auto greys = [](const TBitmap32& b) {
        int between = 0;
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width(); ++x) {
                between += b.Pixel(x, y) != kWhite && b.Pixel(x, y) != gfx::kOpaqueBlack;
            }
        }
        return between;
    };
    TBitmap32 block(200, 100, kWhite);
    show::DrawCaption(item, block);
    EXPECT_EQ(greys(block), 0) << "plain text output has two colours";

    item.CaptionSplitLines = 1;
    TBitmap32 lines(200, 100, kWhite);
    show::DrawCaption(item, lines);
    EXPECT_GT(greys(lines), 0);
    const int step = plat::MeasureText(show::CaptionFont(item), "A").height;
    TBitmap32 first(200, 100, kWhite);
    item.CaptionText = "Ab";
    show::DrawCaption(item, first);
    for (int y = 0; y < step; ++y) {
        for (int x = 0; x < 200; ++x) {
            ASSERT_EQ(lines.Pixel(x, y + step), first.Pixel(x, y)) << "the second line, " << x << "," << y;
        }
    }
}

}  // namespace
