#include "tools/sspack/JsonValues.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "package/Extension.h"
#include "tools/sspack/Ansi.h"
#include "tools/sspack/Suggest.h"

namespace sspack {

namespace {

std::string Range(std::int64_t min, std::int64_t max) { return std::to_string(min) + ".." + std::to_string(max); }

bool IsColorNumber(std::int64_t v) {
    const std::int64_t system = v < 0 ? v + (std::int64_t{1} << 32) : v;
    return (v >= 0 && v <= 0xFFFFFF) || v == kNoColor || (system >= 0x80000000LL && system <= 0x800000FFLL);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::int32_t> ParseHexColor(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') {
        return std::nullopt;
    }
    std::int32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0) {
            return std::nullopt;
        }
        rgb = rgb * 16 + d;
    }
    // "#RRGGBB" is read as people write it; TColor keeps red in the low byte.
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

}  // namespace

void Reject(const std::string& path, const std::string& what) { throw ManifestError(path + ": " + what); }

std::string Shown(const Json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Member(const std::string& path, std::string_view key) {
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string Element(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

void ExpectObject(const Json& value, const std::string& path, std::initializer_list<std::string_view> known) {
    if (!value.is_object()) {
        Reject(path.empty() ? "manifest" : path, Shown(value) + " is not an object");
    }
    for (const auto& entry : value.items()) {
        const std::string& key = entry.key();
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            const std::span<const std::string_view> names(known.begin(), known.size());
            Reject(path.empty() ? "manifest" : path, "unknown key " + key + SuggestionText(key, names));
        }
    }
}

void ExpectArray(const Json& value, const std::string& path) {
    if (!value.is_array()) {
        Reject(path, Shown(value) + " is not an array");
    }
}

std::int64_t ReadInteger(const Json& value, const std::string& path, std::int64_t min, std::int64_t max) {
    if (!value.is_number_integer()) {
        Reject(path, Shown(value) + " is not an integer");
    }
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(max)) {
        Reject(path, Shown(value) + " is not one of " + Range(min, max));
    }
    const auto v = value.get<std::int64_t>();
    if (v < min || v > max) {
        Reject(path, Shown(value) + " is not one of " + Range(min, max));
    }
    return v;
}

std::int32_t ReadInt32(const Json& value, const std::string& path, std::int32_t min, std::int32_t max) {
    return static_cast<std::int32_t>(ReadInteger(value, path, min, max));
}

bool ReadBool(const Json& value, const std::string& path) {
    if (!value.is_boolean()) {
        Reject(path, Shown(value) + " is not true or false");
    }
    return value.get<bool>();
}

std::string ReadString(const Json& value, const std::string& path) {
    if (!value.is_string()) {
        Reject(path, Shown(value) + " is not a string");
    }
    return value.get<std::string>();
}

std::string ReadAnsi(const Json& value, const std::string& path, std::size_t maxBytes) {
    const auto ansi = Utf8ToAnsi(ReadString(value, path));
    if (!ansi) {
        Reject(path, Shown(value) + " holds a character that Windows-1252 cannot carry");
    }
    if (ansi->size() > maxBytes) {
        const std::string shown = Shown(value);
        Reject(path, (shown.size() > 40 ? shown.substr(0, 40) + "..." : shown) + " is " +
                         std::to_string(ansi->size()) + " characters long, more than the field's " +
                         std::to_string(maxBytes));
    }
    return *ansi;
}

std::int32_t ReadColor(const Json& value, const std::string& path) {
    if (value.is_string()) {
        const auto text = value.get<std::string>();
        if (text == "none") {
            return kNoColor;
        }
        if (const auto rgb = ParseHexColor(text)) {
            return *rgb;
        }
    } else if (value.is_number_integer()) {
        const bool fits = !value.is_number_unsigned() || value.get<std::uint64_t>() <= 0xFFFFFFFFULL;
        if (fits && IsColorNumber(value.get<std::int64_t>())) {
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(value.get<std::int64_t>()));
        }
    }
    Reject(path, Shown(value) +
                     " is not a colour (\"#RRGGBB\", \"none\", or an integer 0x00BBGGRR, 0x800000nn or 0x1FFFFFFF)");
}

void CheckExtension(const std::string& ext, const std::string& path, std::size_t width, const std::string& origin) {
    const std::string shown = Shown(Json(AnsiToUtf8(ext))) + origin;
    if (ext.size() > width) {
        Reject(path, shown + " is longer than its " + std::to_string(width) + "-character field");
    }
    if (!pkg::IsSafeExtension(ext)) {
        Reject(path, shown + " is not a dot followed by 1-7 letters, digits or underscores");
    }
}

std::string ReadExtension(const Json& value, const std::string& path, std::size_t width) {
    const std::string ext = ReadString(value, path);
    CheckExtension(ext, path, width, "");
    return ext;
}

}  // namespace sspack
