#include "tools/sspack/Codes.h"

#include <array>
#include <vector>

#include "tools/sspack/Suggest.h"
#include "transitions/EffectNames.h"

namespace sspack {

namespace {

constexpr std::array kSizeModes = {
    CodeName{0, "fit", "fitted to the screen"},
    CodeName{1, "stretch", "stretched over the screen"},
    CodeName{2, "natural", "at its own size, centred"},
    CodeName{3, "natural-random", "at its own size, at a random place"},
    CodeName{4, "shrink", "at its own size unless too large, centred"},
    CodeName{5, "shrink-random", "at its own size unless too large, at a random place"},
};

constexpr std::array kItemSizeModes = {
    CodeName{-1, "default", "as the saver's size mode"},
    kSizeModes[0],
    kSizeModes[1],
    kSizeModes[2],
    kSizeModes[3],
    kSizeModes[4],
    kSizeModes[5],
};

constexpr std::array kOrders = {
    CodeName{0, "sequential", "in order"},
    CodeName{1, "random", "in random order, each once a round"},
    CodeName{2, "shuffle", "in one shuffled order, again and again"},
};

constexpr std::array kGradientStyles = {
    CodeName{0, "default", "vertical bands"},
    CodeName{1, "horizontal", "horizontal bands"},
    CodeName{2, "vertical", "vertical bands"},
    CodeName{3, "ellipses", "ellipses"},
    CodeName{4, "rectangles", "rectangles"},
    CodeName{5, "horizontal-mirrored", "horizontal bands mirrored at the middle"},
    CodeName{6, "vertical-mirrored", "vertical bands mirrored at the middle"},
    CodeName{7, "pinwheel", "a pinwheel"},
    CodeName{8, "diagonal", "diagonal bands"},
};

constexpr std::array kImageModes = {
    CodeName{0, "tiled", "tiled"},
    CodeName{1, "fit", "fitted to the screen"},
    CodeName{2, "center", "centred"},
};

constexpr std::array kPositions = {
    CodeName{0, "top-left", "top left"},
    CodeName{1, "top-right", "top right"},
    CodeName{2, "top", "top centre"},
    CodeName{3, "bottom-left", "bottom left"},
    CodeName{4, "bottom-right", "bottom right"},
    CodeName{5, "bottom", "bottom centre"},
    CodeName{6, "center", "centre"},
};

constexpr std::array kMaskKinds = {
    CodeName{0, "bitmap", "Windows bitmap"},
    CodeName{1, "png", "PNG"},
    CodeName{2, "gif", "GIF"},
};

constexpr std::array kFilters = {
    CodeName{1, "mirror", "mirrored"},
    CodeName{2, "flip", "upside down"},
    CodeName{4, "grey", "grey"},
};

constexpr std::array kFontStyles = {
    CodeName{1, "underline", "underlined"},
    CodeName{2, "bold", "bold"},
    CodeName{4, "italic", "italic"},
    CodeName{8, "strikeout", "struck out"},
};

constexpr CodeTable kSizeModeTable{"size mode", kSizeModes};
constexpr CodeTable kItemSizeModeTable{"size mode", kItemSizeModes};
constexpr CodeTable kOrderTable{"order", kOrders};
constexpr CodeTable kGradientStyleTable{"gradient style", kGradientStyles};
constexpr CodeTable kImageModeTable{"picture placement", kImageModes};
constexpr CodeTable kPositionTable{"position", kPositions};
constexpr CodeTable kMaskKindTable{"mask kind", kMaskKinds};
constexpr CodeTable kFilterTable{"filter", kFilters};
constexpr CodeTable kFontStyleTable{"font style", kFontStyles};

std::vector<std::string_view> Names(const CodeTable& table) {
    std::vector<std::string_view> names;
    for (const auto& n : table.names) {
        names.push_back(n.name);
    }
    return names;
}

const CodeName* FindName(const CodeTable& table, std::string_view name) {
    for (const auto& n : table.names) {
        if (SameName(n.name, name)) {
            return &n;
        }
    }
    return nullptr;
}

// "a size mode", "an order".
std::string Called(const CodeTable& table) {
    const char first = table.what.empty() ? ' ' : table.what.front();
    const bool vowel = first == 'a' || first == 'e' || first == 'i' || first == 'o' || first == 'u';
    return (vowel ? "an " : "a ") + std::string(table.what);
}

std::int32_t CodeOfName(const Json& value, const std::string& path, const CodeTable& table) {
    const std::string name = value.get<std::string>();
    if (const CodeName* found = FindName(table, name)) {
        return found->code;
    }
    const auto names = Names(table);
    Reject(path, Shown(value) + " is not " + Called(table) + SuggestionText(name, names, true));
}

std::int32_t AllBits(const CodeTable& table) {
    std::int32_t all = 0;
    for (const auto& n : table.names) {
        all |= n.code;
    }
    return all;
}

std::vector<std::string_view> AllEffectNames() {
    std::vector<std::string_view> names;
    for (std::int32_t e = 1; e <= trans::kEffectCount; ++e) {
        names.push_back(trans::EffectName(e));
    }
    return names;
}

char EffectOf(const Json& value, const std::string& path) {
    if (!value.is_string()) {
        return static_cast<char>(ReadInt32(value, path, 1, trans::kEffectCount));
    }
    const std::string name = value.get<std::string>();
    for (std::int32_t e = 1; e <= trans::kEffectCount; ++e) {
        if (SameName(trans::EffectName(e), name)) {
            return static_cast<char>(e);
        }
    }
    const auto names = AllEffectNames();
    if (const auto near = NearestName(name, names)) {
        Reject(path, Shown(value) + " is not an effect; did you mean \"" + std::string(*near) + "\"?");
    }
    Reject(path, Shown(value) + " is not an effect: give a name of the effect list, such as \"Crossfade\", or " +
                     "a number 1.." + std::to_string(trans::kEffectCount));
}

}  // namespace

const CodeTable& SizeModes() { return kSizeModeTable; }
const CodeTable& ItemSizeModes() { return kItemSizeModeTable; }
const CodeTable& Orders() { return kOrderTable; }
const CodeTable& GradientStyles() { return kGradientStyleTable; }
const CodeTable& ImageModes() { return kImageModeTable; }
const CodeTable& Positions() { return kPositionTable; }
const CodeTable& MaskKinds() { return kMaskKindTable; }
const CodeTable& Filters() { return kFilterTable; }
const CodeTable& FontStyles() { return kFontStyleTable; }

std::int32_t ReadCode(const Json& value, const std::string& path, const CodeTable& table, std::int32_t min,
                      std::int32_t max) {
    if (value.is_string()) {
        return CodeOfName(value, path, table);
    }
    if (!value.is_number_integer()) {
        Reject(path, Shown(value) + " is not " + Called(table) + ": give its name or its number " +
                         std::to_string(min) + ".." + std::to_string(max));
    }
    return ReadInt32(value, path, min, max);
}

std::int32_t ReadBits(const Json& value, const std::string& path, const CodeTable& table) {
    if (value.is_number()) {
        return ReadInt32(value, path, 0, AllBits(table));
    }
    if (value.is_string()) {
        return CodeOfName(value, path, table);
    }
    if (!value.is_array()) {
        Reject(path, Shown(value) + " is not " + Called(table) + ": give a name, an array of names or a number");
    }
    std::int32_t bits = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (!value[i].is_string()) {
            Reject(Element(path, i), Shown(value[i]) + " is not " + Called(table) + " name");
        }
        bits |= CodeOfName(value[i], Element(path, i), table);
    }
    return bits;
}

std::string ReadEffects(const Json& value, const std::string& path, std::size_t maxCount) {
    ExpectArray(value, path);
    if (value.size() > maxCount) {
        Reject(path, "an array of " + std::to_string(value.size()) + " effects is longer than the field's " +
                         std::to_string(maxCount));
    }
    std::string selection;
    for (std::size_t i = 0; i < value.size(); ++i) {
        selection += EffectOf(value[i], Element(path, i));
    }
    return selection;
}

std::string CodeWords(const CodeTable& table, std::int32_t code) {
    for (const auto& n : table.names) {
        if (n.code == code) {
            return std::string(n.words);
        }
    }
    return std::to_string(code);
}

std::string BitNames(const CodeTable& table, std::int32_t bits) {
    std::string names;
    for (const auto& n : table.names) {
        if ((bits & n.code) != 0) {
            names += (names.empty() ? "" : ", ") + std::string(n.words);
        }
    }
    return names.empty() ? "none" : names;
}

}  // namespace sspack
