// Package colours that name a system colour instead of a value: the saver paints them in the
// colour the system gives that display element, in the background gradient, the caption and the
// logo's transparent key alike.

#include <gtest/gtest.h>

#include "platform/Colors.h"
#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Json;
using testing_support::SaverRunTest;

// Display elements and the simulated system's classic colours for them.
constexpr std::uint32_t kDesktop = 0x80000001;      // 58, 110, 165
constexpr std::uint32_t kWindow = 0x80000005;       // 255, 255, 255
constexpr std::uint32_t kHighlight = 0x8000000D;    // 10, 36, 106
constexpr std::uint32_t kButtonFace = 0x8000000F;   // 212, 208, 200
constexpr std::uint32_t kTooltipBack = 0x80000018;  // 255, 255, 225
constexpr gfx::Color32 kDesktopPixel = 0xFF3A6EA5;
constexpr gfx::Color32 kWindowPixel = 0xFFFFFFFF;
constexpr gfx::Color32 kHighlightPixel = 0xFF0A246A;
constexpr gfx::Color32 kButtonFacePixel = 0xFFD4D0C8;
constexpr gfx::Color32 kTooltipBackPixel = 0xFFFFFFE1;

constexpr gfx::Color32 kPicture = 0xFF30C040;
constexpr gfx::Color32 kLogoRed = 0xFFE03030;

TEST(SystemColours, EachIndexOfTheTableHasItsColourAndOthersAreBlack) {
    EXPECT_EQ(plat::PixelColor(static_cast<gfx::TColor>(kButtonFace)), kButtonFacePixel);
    EXPECT_EQ(plat::PixelColor(static_cast<gfx::TColor>(kTooltipBack)), kTooltipBackPixel);
    EXPECT_EQ(plat::PixelColor(static_cast<gfx::TColor>(0x8000001E)), kButtonFacePixel) << "the menu bar, last";
    EXPECT_EQ(plat::PixelColor(static_cast<gfx::TColor>(0x8000001F)), gfx::kOpaqueBlack) << "past the table";
    EXPECT_EQ(plat::PixelColor(static_cast<gfx::TColor>(0x800000FF)), gfx::kOpaqueBlack);
    EXPECT_EQ(plat::ResolveColor(0x00336699), 0x00336699) << "a plain colour is itself";
    EXPECT_EQ(plat::ResolveColor(gfx::kColorNone), gfx::kColorNone);
}

class SystemColourRun : public SaverRunTest {
protected:
    SystemColourRun() { Machine().monitors = {{0, 0, 320, 240}}; }
};

// Rows of the gradient from the button face at the top to the desktop at the bottom, a logo whose
// left half is the tooltip background (its transparent key) in the top-left corner, and a caption
// in window colour on a highlight box in the bottom-left corner.
TEST_F(SystemColourRun, TheGradientTheCaptionAndTheLogoKeyTakeTheSystemsColours) {
    Put("item.png", testing_support::EncodePng(gfx::TBitmap32(100, 80, kPicture)));
    gfx::TBitmap32 logo(40, 20, kLogoRed);
    logo.FillRect({0, 0, 20, 20}, kTooltipBackPixel);
    Put("logo.png", testing_support::EncodePng(logo));
    const Json caption = {{"text", "WWWW"}, {"position", 3}, {"offsetX", 10}, {"offsetY", 10}, {"size", 20},
                          {"style", {"bold"}}, {"color", kWindow}, {"boxColor", kHighlight}};
    const Json manifest = {
        {"header",
         {{"Seconds", 30}, {"Stretch", 2}, {"GradientStyle", 1}, {"BackgroundColor", kButtonFace},
          {"BackgroundColor2", kDesktop}, {"LogoPosition", 0}, {"LogoTransparentColor", kTooltipBack},
          {"ExitESC", true}}},
        {"strings", {{"SaverName", "System colours"}}},
        {"items", {{{"file", "item.png"}, {"caption", caption}}}},
        {"logo", {{"file", "logo.png"}}}};
    gfx::TBitmap32 shown;
    Run(Build(manifest), {"/s"}, 1000,
        [&](host::TSSWindow& w) { sim::At(500, [&] { shown = sim::AsSim(w.Image32()).Canvas(); }); });
    ASSERT_EQ(Shown(), std::vector<int>{0});

    // Row 0 is the first colour, row 239 (the last band's) the second.
    EXPECT_EQ(shown.Pixel(160, 0), kButtonFacePixel);
    EXPECT_EQ(shown.Pixel(300, 239), kDesktopPixel);
    EXPECT_EQ(shown.Pixel(160, 100), kPicture);

    // The logo's key half lets the gradient through; its other half stays.
    EXPECT_EQ(shown.Pixel(5, 5), shown.Pixel(60, 5)) << "the row's gradient colour through the key";
    EXPECT_NE(shown.Pixel(5, 5), kTooltipBackPixel);
    EXPECT_EQ(shown.Pixel(30, 5), kLogoRed);

    // The box reaches 5 pixels below the text block, whose bottom is 10 above the frame's.
    EXPECT_EQ(shown.Pixel(7, 232), kHighlightPixel);
    int text = 0;
    for (int y = 120; y < 230; ++y) {
        for (int x = 10; x < 200; ++x) {
            text += shown.Pixel(x, y) == kWindowPixel ? 1 : 0;
        }
    }
    EXPECT_GT(text, 20) << "the caption's letters in the window colour";
}

}  // namespace
