// Text through GDI: the glyphs are drawn white on black into a DIB, whose brightness is then the
// coverage with which the text's colour is blended into the bitmap, so only glyph pixels change
// and their alpha becomes opaque.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "gfx/TextBlend.h"
#include "platform/Text.h"
#include "platform/TextLines.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr int kDpi = 96;
constexpr int kPointsPerInch = 72;

win32::GdiObject<HFONT> MakeFont(const Font& font) {
    const int height = -std::max(1, ::MulDiv(std::abs(font.size), kDpi, kPointsPerInch));
    return win32::GdiObject<HFONT>(::CreateFontA(
        height, 0, 0, 0, (font.style & kFontBold) != 0 ? FW_BOLD : FW_NORMAL, (font.style & kFontItalic) != 0,
        (font.style & kFontUnderline) != 0, (font.style & kFontStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, font.antialiased ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY,
        DEFAULT_PITCH | FF_DONTCARE, font.name.c_str()));
}

struct Layout {
    std::vector<std::string_view> lines;
    int width = 0;
    int lineHeight = 0;
};

Layout Measure(HDC dc, const std::string& text) {
    Layout layout;
    layout.lines = SplitLines(text);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    layout.lineHeight = metrics.tmHeight;
    for (const auto line : layout.lines) {
        SIZE extent{};
        ::GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &extent);
        layout.width = std::max(layout.width, static_cast<int>(extent.cx));
    }
    return layout;
}

}  // namespace

gfx::IntSize MeasureText(const Font& font, const std::string& text) {
    const auto handle = MakeFont(font);
    win32::MemoryDC dc(nullptr);
    if (!handle || dc.get() == nullptr) {
        return {};
    }
    const win32::SelectGuard selectFont(dc.get(), handle.get());
    const Layout layout = Measure(dc.get(), text);
    return {layout.width, layout.lineHeight * static_cast<int>(layout.lines.size())};
}

void RenderText(gfx::TBitmap32& target, gfx::IntPoint origin, const Font& font, const std::string& text) {
    const auto handle = MakeFont(font);
    win32::MemoryDC dc(nullptr);
    if (!handle || dc.get() == nullptr) {
        return;
    }
    const win32::SelectGuard selectFont(dc.get(), handle.get());
    const Layout layout = Measure(dc.get(), text);
    // Italic overhangs and negative bearings reach past the measured block; draw with a margin,
    // and only the part that lands on the target.
    const int margin = layout.lineHeight / 2 + 2;
    const gfx::IntRect block = gfx::IntRect::FromSize(origin.x - margin, origin.y, layout.width + 2 * margin,
                                                      layout.lineHeight * static_cast<int>(layout.lines.size()));
    const gfx::IntRect area = block.Intersect(target.BoundsRect());
    if (area.IsEmpty()) {
        return;
    }
    win32::Dib dib = win32::CreateDib(dc.get(), area.Width(), area.Height());  // zeroed: black
    if (!dib.bitmap || dib.bits == nullptr) {
        return;
    }
    const win32::SelectGuard selectDib(dc.get(), dib.bitmap.get());
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::SetTextColor(dc.get(), RGB(255, 255, 255));
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const auto line = layout.lines[i];
        ::TextOutA(dc.get(), origin.x - area.left, origin.y - area.top + layout.lineHeight * static_cast<int>(i),
                   line.data(), static_cast<int>(line.size()));
    }
    ::GdiFlush();
    const std::size_t count = static_cast<std::size_t>(area.Width()) * static_cast<std::size_t>(area.Height());
    std::vector<std::uint8_t> coverage(count);
    for (std::size_t i = 0; i < count; ++i) {
        const gfx::Color32 c = dib.bits[i];
        coverage[i] = static_cast<std::uint8_t>((gfx::RedOf(c) + gfx::GreenOf(c) + gfx::BlueOf(c)) / 3);
    }
    gfx::BlendCoverage(target, {area.left, area.top}, {coverage.data(), area.Size(), area.Width()}, font.color,
                       font.antialiased);
}

}  // namespace plat
