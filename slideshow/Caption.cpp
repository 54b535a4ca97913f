#include "slideshow/Caption.h"

#include <string>

#include "platform/Colors.h"
#include "platform/TextLines.h"
#include "slideshow/AnchorPlace.h"

namespace show {

namespace {

constexpr std::int32_t kBoxMargin = 5;

// Plain text output of the whole block: the shadow block first, then the text over it.
void DrawBlock(gfx::TBitmap32& frame, gfx::IntPoint at, plat::Font font, const std::string& text, bool shadow) {
    font.antialiased = false;
    if (shadow) {
        plat::Font black = font;
        black.color = gfx::kOpaqueBlack;
        plat::RenderText(frame, {at.x + 1, at.y + 1}, black, text);
    }
    plat::RenderText(frame, at, font, text);
}

// Anti-aliased line by line, each line over its own shadow, one "A" height apart.
void DrawLines(gfx::TBitmap32& frame, gfx::IntPoint at, plat::Font font, const std::string& text, bool shadow) {
    font.antialiased = true;
    plat::Font black = font;
    black.color = gfx::kOpaqueBlack;
    const std::int32_t step = plat::MeasureText(font, "A").height;
    for (const std::string_view view : plat::SplitLines(text)) {
        const std::string line(view);
        if (shadow) {
            plat::RenderText(frame, {at.x + 1, at.y + 1}, black, line);
        }
        plat::RenderText(frame, at, font, line);
        at.y += step;
    }
}

}  // namespace

plat::Font CaptionFont(const pkg::ItemRecord& item) {
    plat::Font font;
    font.name = item.CaptionFontName.empty() ? "Verdana" : item.CaptionFontName;
    font.size = item.CaptionFontSize;
    font.style = static_cast<std::uint32_t>(item.CaptionFontStyle) &
                 (plat::kFontUnderline | plat::kFontBold | plat::kFontItalic | plat::kFontStrikeOut);
    font.color = plat::PixelColor(item.CaptionColor);
    return font;
}

gfx::IntRect CaptionBlock(const pkg::ItemRecord& item, gfx::IntSize frame) {
    const gfx::IntSize block = plat::MeasureText(CaptionFont(item), item.CaptionText);
    const gfx::IntPoint at = AnchorPlace(item.CaptionPosition, block, frame, item.CaptionOffsetX, item.CaptionOffsetY);
    return gfx::IntRect::FromSize(at.x, at.y, block.width, block.height);
}

void DrawCaption(const pkg::ItemRecord& item, gfx::TBitmap32& frame) {
    if (item.CaptionText.empty()) {
        return;
    }
    const plat::Font font = CaptionFont(item);
    const gfx::IntRect block = CaptionBlock(item, {frame.Width(), frame.Height()});
    if (item.CaptionNoBox == 0) {
        frame.FillRect({block.left - kBoxMargin, block.top - kBoxMargin, block.right + kBoxMargin,
                        block.bottom + kBoxMargin},
                       plat::PixelColor(item.CaptionBoxColor));
    }
    const gfx::IntPoint at{block.left, block.top};
    const bool shadow = item.CaptionShadow != 0;
    if (item.CaptionSplitLines != 0) {
        DrawLines(frame, at, font, item.CaptionText, shadow);
    } else {
        DrawBlock(frame, at, font, item.CaptionText, shadow);
    }
}

}  // namespace show
