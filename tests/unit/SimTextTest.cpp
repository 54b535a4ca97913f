// Text on the simulated platform: measured blocks, glyphs blended in the text's colour, styles,
// and the fallback for fonts the machine lacks.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Text.h"

namespace {

using gfx::Color32;
using gfx::TBitmap32;

constexpr Color32 kBackground = 0x80204060;  // half transparent, so alpha changes show too
constexpr Color32 kRed = 0xFFE01010;

plat::Font MakeFont(int size, std::uint32_t style = 0, bool antialiased = true, const char* name = "DejaVu Sans") {
    return plat::Font{name, size, style, kRed, antialiased};
}

TBitmap32 Rendered(const plat::Font& font, const std::string& text, gfx::IntPoint at = {10, 10}) {
    TBitmap32 target(200, 100, kBackground);
    plat::RenderText(target, at, font, text);
    return target;
}

// The smallest rectangle around the pixels that differ from the background.
gfx::IntRect Changed(const TBitmap32& b) {
    gfx::IntRect r{b.Width(), b.Height(), 0, 0};
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            if (b.Pixel(x, y) != kBackground) {
                r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
            }
        }
    }
    return r;
}

bool Between(std::uint8_t v, std::uint8_t a, std::uint8_t b) { return v >= std::min(a, b) && v <= std::max(a, b); }

TEST(SimText, GlyphPixelsTakeTheColourAndNothingElseChanges) {
    const plat::Font font = MakeFont(20);
    const gfx::IntSize size = plat::MeasureText(font, "Hello");
    const TBitmap32 smooth = Rendered(font, "Hello");
    const gfx::IntRect changed = Changed(smooth);
    ASSERT_FALSE(changed.IsEmpty());
    // Within the measured block, give or take a glyph's side bearing.
    EXPECT_GE(changed.left, 10 - 2);
    EXPECT_LE(changed.right, 10 + size.width + 2);
    EXPECT_GE(changed.top, 10);
    EXPECT_LE(changed.bottom, 10 + size.height);
    bool fullyCovered = false;
    for (const Color32 c : std::vector<Color32>(smooth.Bits(), smooth.Bits() + 200 * 100)) {
        fullyCovered |= c == kRed;
        ASSERT_TRUE(Between(gfx::RedOf(c), gfx::RedOf(kBackground), gfx::RedOf(kRed)) &&
                    Between(gfx::GreenOf(c), gfx::GreenOf(kBackground), gfx::GreenOf(kRed)) &&
                    Between(gfx::BlueOf(c), gfx::BlueOf(kBackground), gfx::BlueOf(kRed)) &&
                    Between(gfx::AlphaOf(c), gfx::AlphaOf(kBackground), 255))
            << std::hex << c;
    }
    EXPECT_TRUE(fullyCovered);

    // Without anti-aliasing every glyph pixel is the colour itself.
    const TBitmap32 sharp = Rendered(MakeFont(20, 0, false), "Hello");
    EXPECT_TRUE(std::all_of(sharp.Bits(), sharp.Bits() + 200 * 100,
                            [](Color32 c) { return c == kBackground || c == kRed; }));
    EXPECT_NE(Changed(sharp), gfx::IntRect{});

    // Text partly outside the target is clipped, not written past it.
    EXPECT_GE(Changed(Rendered(font, "Hello", {185, 90})).left, 183);
}

TEST(SimText, MeasuresGrowWithSizeTextAndLines) {
    const gfx::IntSize small = plat::MeasureText(MakeFont(10), "Caption");
    const gfx::IntSize large = plat::MeasureText(MakeFont(20), "Caption");
    EXPECT_GT(small.width, 0);
    EXPECT_GT(large.width, small.width);
    EXPECT_GT(large.height, small.height);
    EXPECT_GT(plat::MeasureText(MakeFont(10), "Caption text").width, small.width);

    const gfx::IntSize line = plat::MeasureText(MakeFont(12), "A");
    const gfx::IntSize block = plat::MeasureText(MakeFont(12), "A\r\nWide line\nB");
    EXPECT_EQ(block.height, 3 * line.height);
    EXPECT_EQ(block.width, plat::MeasureText(MakeFont(12), "Wide line").width);
    EXPECT_EQ(plat::MeasureText(MakeFont(12), ""), (gfx::IntSize{0, line.height}));

    // The second line is drawn one line height lower.
    const gfx::IntRect two = Changed(Rendered(MakeFont(12), "_\n_"));
    const gfx::IntRect one = Changed(Rendered(MakeFont(12), "_"));
    EXPECT_EQ(two.bottom - one.bottom, line.height);
}

TEST(SimText, MissingFontsFallBackToSansSerif) {
    const plat::Font missing = MakeFont(16, 0, true, "No Such Typeface Anywhere");
    EXPECT_EQ(plat::MeasureText(missing, "Fallback"), plat::MeasureText(MakeFont(16), "Fallback"));
    EXPECT_EQ(Rendered(missing, "Fallback"), Rendered(MakeFont(16), "Fallback"));
    // Other families the machine has are used by name, in any letter case.
    EXPECT_NE(Rendered(MakeFont(16, 0, true, "dejavu serif"), "Fallback"), Rendered(MakeFont(16), "Fallback"));
}

TEST(SimText, StylesChangeTheGlyphs) {
    // Letters without descenders, so that the underline shows below them.
    const TBitmap32 regular = Rendered(MakeFont(16), "Title");
    const gfx::IntSize regularSize = plat::MeasureText(MakeFont(16), "Title");
    EXPECT_GT(plat::MeasureText(MakeFont(16, plat::kFontBold), "Title").width, regularSize.width);
    EXPECT_NE(Rendered(MakeFont(16, plat::kFontItalic), "Title"), regular);
    // A family without bold and italic faces of its own (where the machine has it) gets them
    // synthesised.
    const char* single = "DejaVu Math TeX Gyre";
    EXPECT_GT(plat::MeasureText(MakeFont(16, plat::kFontBold, true, single), "Title").width,
              plat::MeasureText(MakeFont(16, 0, true, single), "Title").width);
    EXPECT_NE(Rendered(MakeFont(16, plat::kFontItalic, true, single), "Title"),
              Rendered(MakeFont(16, 0, true, single), "Title"));

    // Underline: a solid row of the colour across the whole line, below the letters.
    const TBitmap32 underlined = Rendered(MakeFont(16, plat::kFontUnderline), "Title");
    const gfx::IntRect letters = Changed(regular);
    const gfx::IntRect withLine = Changed(underlined);
    EXPECT_GT(withLine.bottom, letters.bottom);
    const std::int32_t row = withLine.bottom - 1;
    EXPECT_TRUE(std::all_of(underlined.Row(row) + 10, underlined.Row(row) + 10 + regularSize.width,
                            [](Color32 c) { return c == kRed; }));
    // Strike-out: a solid row through the letters.
    const TBitmap32 struck = Rendered(MakeFont(16, plat::kFontStrikeOut), "Title");
    bool solidRow = false;
    for (std::int32_t y = letters.top; y < letters.bottom && !solidRow; ++y) {
        solidRow = std::all_of(struck.Row(y) + 10, struck.Row(y) + 10 + regularSize.width,
                               [](Color32 c) { return c == kRed; });
    }
    EXPECT_TRUE(solidRow);
}

}  // namespace
