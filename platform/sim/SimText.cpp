// The simulated system's text: FreeType glyphs from the fonts fontconfig knows. A font the machine
// lacks falls back to DejaVu Sans; bold and italic use the family's own faces when it has them,
// else FreeType's synthetic emboldening and slant.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "gfx/TextBlend.h"
#include "platform/Text.h"
#include "platform/TextLines.h"

namespace plat {

namespace {

constexpr const char* kFallbackFamily = "DejaVu Sans";
constexpr const char* kFallbackFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kMaxPixelSize = 2048;

// Where a font's face lives.
struct FaceChoice {
    std::string file;
    int index = 0;
};

struct PatternDestroyer {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDestroyer>;

bool SameName(const char* a, const std::string& b) {
    return std::equal(b.begin(), b.end(), a, a + std::char_traits<char>::length(a), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The face fontconfig picks for the family and style, when it is of that family.
std::optional<FaceChoice> Match(const std::string& family, bool bold, bool italic) {
    Pattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) {
        return std::nullopt;
    }
    bool sameFamily = false;
    FcChar8* name = nullptr;
    for (int i = 0; !sameFamily && FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        sameFamily = SameName(reinterpret_cast<const char*>(name), family);
    }
    FcChar8* file = nullptr;
    if (!sameFamily || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
        return std::nullopt;
    }
    FaceChoice choice{reinterpret_cast<const char*>(file)};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &choice.index);
    return choice;
}

FaceChoice Choose(const std::string& family, bool bold, bool italic) {
    if (auto choice = Match(family, bold, italic)) {
        return *choice;
    }
    if (auto choice = Match(kFallbackFamily, bold, italic)) {
        return *choice;
    }
    return FaceChoice{kFallbackFile, 0};
}

// A face ready for one font: its size set, and how to synthesise what it lacks.
struct Face {
    FT_Face face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    int ascent = 0;
    int lineHeight = 0;
};

// The FreeType library and every face opened so far; one lock around all text work, since
// faces carry their current size. fontconfig's process-wide configuration, which it loads on the
// first match, goes with the engine at exit.
class Engine {
public:
    Engine() { FT_Init_FreeType(&library_); }
    ~Engine() {
        for (auto& [key, face] : faces_) {
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library_);
        FcFini();
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    std::mutex& Lock() { return lock_; }

    std::optional<Face> Open(const Font& font) {
        const bool bold = (font.style & kFontBold) != 0;
        const bool italic = (font.style & kFontItalic) != 0;
        const auto key = std::make_tuple(font.name, bold, italic);
        auto chosen = choices_.find(key);
        if (chosen == choices_.end()) {
            chosen = choices_.emplace(key, Choose(font.name, bold, italic)).first;
        }
        const FaceChoice& choice = chosen->second;
        FT_Face face = Load(choice.file, choice.index);
        const int pixels = std::clamp((std::abs(font.size) * 96 + 36) / 72, 1, kMaxPixelSize);
        if (face == nullptr || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) {
            return std::nullopt;
        }
        const FT_Size_Metrics& m = face->size->metrics;
        const int ascent = static_cast<int>((m.ascender + 63) >> 6);
        const int descent = static_cast<int>((-m.descender + 63) >> 6);
        // fontconfig reports the style asked for even where it means it to be synthesised; the
        // face's own flags tell what it really is.
        const bool syntheticBold = bold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
        const bool syntheticItalic = italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
        return Face{face, syntheticBold, syntheticItalic, ascent, ascent + descent};
    }

private:
    FT_Face Load(const std::string& file, int index) {
        const auto key = std::make_pair(file, index);
        if (const auto found = faces_.find(key); found != faces_.end()) {
            return found->second;
        }
        FT_Face face = nullptr;
        if (library_ == nullptr || FT_New_Face(library_, file.c_str(), index, &face) != 0) {
            return nullptr;
        }
        faces_.emplace(key, face);
        return face;
    }

    std::mutex lock_;
    FT_Library library_ = nullptr;
    std::map<std::tuple<std::string, bool, bool>, FaceChoice> choices_;
    std::map<std::pair<std::string, int>, FT_Face> faces_;
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

// Windows-1252 to Unicode; the other bytes are Latin-1.
FT_ULong CodePoint(char c) {
    static constexpr std::array<std::uint16_t, 32> kHigh = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

// Loads a character's glyph as outline, styled; false when the face cannot.
bool LoadGlyph(const Face& f, char c) {
    if (FT_Load_Glyph(f.face, FT_Get_Char_Index(f.face, CodePoint(c)), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) {
        return false;
    }
    if (f.syntheticItalic) {
        FT_GlyphSlot_Oblique(f.face->glyph);
    }
    if (f.syntheticBold) {
        FT_GlyphSlot_Embolden(f.face->glyph);
    }
    return true;
}

int Advance(const Face& f) { return static_cast<int>((f.face->glyph->advance.x + 32) >> 6); }

int LineWidth(const Face& f, std::string_view line) {
    int width = 0;
    for (const char c : line) {
        width += LoadGlyph(f, c) ? Advance(f) : 0;
    }
    return width;
}

int Scaled(FT_Short units, const Face& f) {
    return static_cast<int>((FT_MulFix(units, f.face->size->metrics.y_scale) + 32) >> 6);
}

// A bar across the line: an underline below the baseline, or a strike-out above it.
void DrawBar(gfx::TBitmap32& target, gfx::IntPoint at, int width, int height, const Font& font) {
    const std::vector<std::uint8_t> row(static_cast<std::size_t>(std::max(width, 0)), 255);  // every row alike
    gfx::BlendCoverage(target, at, {row.data(), {width, height}, 0}, font.color, true);
}

void DrawDecorations(gfx::TBitmap32& target, gfx::IntPoint pen, int baseline, int width, const Font& font,
                     const Face& f) {
    const int thickness = std::max(1, Scaled(f.face->underline_thickness, f));
    if ((font.style & kFontUnderline) != 0) {
        const int below = std::max(1, Scaled(static_cast<FT_Short>(-f.face->underline_position), f));
        DrawBar(target, {pen.x, baseline + below - thickness / 2}, width, thickness, font);
    }
    if ((font.style & kFontStrikeOut) != 0) {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f.face, FT_SFNT_OS2));
        const int above = os2 != nullptr ? Scaled(os2->yStrikeoutPosition, f) : f.ascent / 3;
        const int size = os2 != nullptr ? std::max(1, Scaled(os2->yStrikeoutSize, f)) : thickness;
        DrawBar(target, {pen.x, baseline - above - size / 2}, width, size, font);
    }
}

void DrawLine(gfx::TBitmap32& target, gfx::IntPoint pen, std::string_view line, const Font& font, const Face& f) {
    const int baseline = pen.y + f.ascent;
    const int left = pen.x;
    for (const char c : line) {
        if (!LoadGlyph(f, c)) {
            continue;
        }
        const FT_GlyphSlot slot = f.face->glyph;
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0 && slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const FT_Bitmap& b = slot->bitmap;
            const gfx::IntSize size{static_cast<std::int32_t>(b.width), static_cast<std::int32_t>(b.rows)};
            gfx::BlendCoverage(target, {pen.x + slot->bitmap_left, baseline - slot->bitmap_top},
                               {b.buffer, size, b.pitch}, font.color, font.antialiased);
        }
        pen.x += Advance(f);
    }
    DrawDecorations(target, {left, pen.y}, baseline, pen.x - left, font, f);
}

}  // namespace

gfx::IntSize MeasureText(const Font& font, const std::string& text) {
    Engine& engine = TheEngine();
    const std::lock_guard lock(engine.Lock());
    const auto face = engine.Open(font);
    if (!face) {
        return {};
    }
    const auto lines = SplitLines(text);
    int width = 0;
    for (const auto line : lines) {
        width = std::max(width, LineWidth(*face, line));
    }
    return {width, face->lineHeight * static_cast<int>(lines.size())};
}

void RenderText(gfx::TBitmap32& target, gfx::IntPoint origin, const Font& font, const std::string& text) {
    Engine& engine = TheEngine();
    const std::lock_guard lock(engine.Lock());
    const auto face = engine.Open(font);
    if (!face) {
        return;
    }
    gfx::IntPoint pen = origin;
    for (const auto line : SplitLines(text)) {
        DrawLine(target, pen, line, font, *face);
        pen.y += face->lineHeight;
    }
}

}  // namespace plat
