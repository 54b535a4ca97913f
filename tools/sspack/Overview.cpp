#include "tools/sspack/Overview.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "common/Paths.h"
#include "gfx/decode/PictureFormats.h"
#include "package/ItemKind.h"
#include "tools/sspack/Ansi.h"
#include "tools/sspack/Codes.h"
#include "tools/sspack/Units.h"
#include "transitions/EffectNames.h"

namespace sspack {

namespace {

using pkg::PackageString;

constexpr std::size_t kEffectsNamed = 6;

// ".jpg" as "JPG".
std::string Bare(const std::string& ext) { return core::UpperCase(ext.starts_with(".") ? ext.substr(1) : ext); }

// What an item is, by its extension as the runtime decides it.
std::string Kind(const std::string& ext) {
    const std::string bare = Bare(ext);
    switch (pkg::ItemKindOf(ext)) {
        case pkg::ItemKind::Flash: return "Flash movie";
        case pkg::ItemKind::Video: return bare + " video";
        case pkg::ItemKind::Still: break;
    }
    switch (gfx::PictureFormatOf(ext)) {
        case gfx::TPictureFormat::Jpeg: return "JPEG picture";
        case gfx::TPictureFormat::Tiff: return "TIFF picture";
        case gfx::TPictureFormat::Webp: return "WebP picture";
        case gfx::TPictureFormat::Unknown: return bare + " file, not a picture";
        default: return bare + " picture";
    }
}

std::string ItemCounts(const std::vector<pkg::ItemRecord>& items) {
    std::int64_t stills = 0;
    std::int64_t videos = 0;
    std::int64_t movies = 0;
    for (const auto& item : items) {
        const pkg::ItemKind kind = pkg::ItemKindOf(item.ItemExt);
        (kind == pkg::ItemKind::Video ? videos : kind == pkg::ItemKind::Flash ? movies : stills) += 1;
    }
    std::string text;
    const auto add = [&](std::int64_t n, const char* singular, const char* plural) {
        if (n > 0) {
            text += (text.empty() ? "" : ", ") + Counted(n, singular, plural);
        }
    };
    add(stills, "picture", "pictures");
    add(videos, "video", "videos");
    add(movies, "Flash movie", "Flash movies");
    return text.empty() ? "no items" : text;
}

std::string EffectsText(const std::string& selection) {
    if (selection.empty()) {
        return "no effects (items change at once)";
    }
    if (selection.size() == static_cast<std::size_t>(trans::kEffectCount)) {
        return "every effect";
    }
    std::string names;
    for (std::size_t i = 0; i < selection.size() && i < kEffectsNamed; ++i) {
        names += (i == 0 ? "" : ", ") + std::string(trans::EffectName(static_cast<unsigned char>(selection[i])));
    }
    if (selection.size() > kEffectsNamed) {
        names += " and " + std::to_string(selection.size() - kEffectsNamed) + " more";
    }
    return names;
}

std::string Joined(const std::vector<std::string>& parts, const char* none) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text.empty() ? none : text;
}

std::string BackgroundText(const pkg::PackageHeader& h) {
    const std::string style = CodeWords(GradientStyles(), h.GradientStyle);
    std::string text = h.DesktopBackground ? std::string("a copy of the desktop")
                       : h.RandomColors    ? style + " in random colours"
                       : h.BackgroundColor == h.BackgroundColor2
                           ? "plain " + ColorText(h.BackgroundColor)
                           : style + " from " + ColorText(h.BackgroundColor) + " to " + ColorText(h.BackgroundColor2);
    if (h.BackgroundStoredSize > 0) {
        text += ", with a " + Kind(h.BackgroundExt) + " " + CodeWords(ImageModes(), h.BackgroundImageMode);
    }
    if (h.LogoStoredSize > 0) {
        text += "; logo " + CodeWords(Positions(), h.LogoPosition);
    }
    return text;
}

std::string MusicText(const pkg::Package& p) {
    const pkg::PackageHeader& h = p.header;
    if (p.sounds.empty()) {
        return "none";
    }
    std::vector<std::string> parts{Counted(static_cast<std::int64_t>(p.sounds.size()), "track", "tracks")};
    parts.emplace_back(h.Loop ? "repeated" : "played once");
    if (h.ShuffleMelody) {
        parts.emplace_back("shuffled");
    }
    if (h.PlayOneRandom) {
        parts.emplace_back("one of them at random");
    }
    if (h.Mute) {
        parts.emplace_back("muted unless the user turns it on");
    }
    return Joined(parts, "");
}

std::string EndsText(const pkg::PackageHeader& h) {
    std::vector<std::string> ends;
    const std::pair<bool, const char*> conditions[] = {{h.ExitMouseMove, "mouse move"},
                                                       {h.ExitMouseButton, "mouse button"},
                                                       {h.ExitKeyboard, "any key"},
                                                       {h.ExitESC, "Esc"}};
    for (const auto& [on, what] : conditions) {
        if (on) {
            ends.emplace_back(what);
        }
    }
    return Joined(ends, "nothing but the system");
}

std::string ItemNotes(const pkg::ItemRecord& item) {
    std::vector<std::string> notes;
    if (item.ItemSizeMode != -1) {
        notes.push_back(CodeWords(ItemSizeModes(), item.ItemSizeMode));
    }
    if (item.ItemDuration > 0) {
        notes.push_back(Counted(item.ItemDuration, "second", "seconds"));
    }
    if (!item.CaptionText.empty()) {
        notes.push_back("caption \"" + AnsiToUtf8(item.CaptionText) + "\"");
    }
    if (item.ItemFilters != 0) {
        notes.push_back(BitNames(Filters(), item.ItemFilters));
    }
    if (item.ItemMaskIndex >= 0) {
        notes.push_back("mask " + std::to_string(item.ItemMaskIndex));
    }
    if (item.ItemEnterSound >= 0) {
        notes.push_back("entry sound " + std::to_string(item.ItemEnterSound));
    }
    if (item.ItemEffectSpeed != -1) {
        notes.push_back("own effects: " + EffectsText(item.ItemEffects));
    }
    return Joined(notes, "");
}

// One numbered line a piece, kinds and sizes lined up; the size is the piece's as a file.
void Row(std::ostringstream& out, std::size_t index, const std::string& kind, std::int64_t size,
         const std::string& notes) {
    char line[96];
    std::snprintf(line, sizeof line, "  %3zu  %-20s %10s", index, kind.c_str(), SizeText(size).c_str());
    out << line << (notes.empty() ? "" : "  " + notes) << "\n";
}

}  // namespace

std::string SummaryLine(const std::string& name, const pkg::Package& p) {
    std::string line = name + ": " + ItemCounts(p.items);
    if (!p.sounds.empty()) {
        line += ", " + Counted(static_cast<std::int64_t>(p.sounds.size()), "music track", "music tracks");
    }
    const auto effects = static_cast<std::int64_t>(p.strings[PackageString::Effect].size());
    line += ", " + (effects == 0 ? std::string("no effects") : Counted(effects, "effect", "effects"));
    return line + ", " + SizeText(p.header.FileSizeSlot);
}

std::string FormatOverview(const std::string& name, const pkg::Package& p) {
    const pkg::PackageHeader& h = p.header;
    std::ostringstream out;
    out << SummaryLine(name, p) << "\n";
    out << "  name        \"" << AnsiToUtf8(p.strings[PackageString::SaverName]) << "\"\n";
    out << "  each item   " << Counted(h.Seconds, "second", "seconds") << ", " << CodeWords(Orders(), h.DisplayOrder)
        << ", " << CodeWords(SizeModes(), h.Stretch) << "\n";
    out << "  effects     " << EffectsText(p.strings[PackageString::Effect]) << "; speed " << h.EffectSpeed
        << " of 10\n";
    out << "  background  " << BackgroundText(h) << "\n";
    out << "  music       " << MusicText(p) << "\n";
    out << "  ends on     " << EndsText(h) << "\n";
    out << "\nItems\n";
    for (std::size_t i = 0; i < p.items.size(); ++i) {
        Row(out, i, Kind(p.items[i].ItemExt), p.items[i].BlobSize, ItemNotes(p.items[i]));
    }
    if (!p.sounds.empty()) {
        out << "\nMusic\n";
        for (std::size_t i = 0; i < p.sounds.size(); ++i) {
            Row(out, i, Bare(p.sounds[i].ItemExt) + " sound", p.sounds[i].BlobSize, "");
        }
    }
    if (!p.entrySounds.empty()) {
        out << "\nEntry sounds\n";
        for (std::size_t i = 0; i < p.entrySounds.size(); ++i) {
            Row(out, i, Bare(p.entrySounds[i].Ext) + " sound", p.entrySounds[i].BlobSize, "");
        }
    }
    return out.str();
}

}  // namespace sspack
