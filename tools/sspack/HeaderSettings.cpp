#include "tools/sspack/HeaderSettings.h"

#include <array>
#include <limits>
#include <vector>

#include "tools/sspack/Codes.h"
#include "tools/sspack/RecordFields.h"
#include "tools/sspack/Suggest.h"

namespace sspack {

namespace {

struct Setting {
    std::string_view name;
    std::int32_t min = 0;
    std::int32_t max = 0;
    const CodeTable& (*codes)() = nullptr;  // the names the numbers may also be given by
};

constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::max();

// Numbers with their ranges; colours and flags are recognised by their field's shape.
constexpr std::array kNumbers = {
    Setting{"Seconds", 1, 60},  // the panel's spin edit cannot show more
    Setting{"DisplayOrder", 0, 2, Orders},
    Setting{"GradientStyle", 0, 8, GradientStyles},
    Setting{"BackgroundImageMode", 0, 2, ImageModes},
    Setting{"Stretch", 0, 5, SizeModes},
    Setting{"EffectSpeed", 1, 10},
    Setting{"LogoPosition", 0, 6, Positions},
    Setting{"LogoOffsetX", -kAny - 1, kAny},
    Setting{"LogoOffsetY", -kAny - 1, kAny},
};

const Setting* FindNumber(std::string_view name) {
    for (const auto& s : kNumbers) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

bool Settable(const Field<pkg::PackageHeader>& field) {
    return field.shape == FieldShape::Flag || field.shape == FieldShape::Color || FindNumber(field.name) != nullptr;
}

// The names a manifest may set, for suggestions.
std::span<const std::string_view> SettableHeaderFields() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> settable;
        for (const auto& field : HeaderFields()) {
            if (Settable(field)) {
                settable.push_back(field.name);
            }
        }
        return settable;
    }();
    return names;
}

}  // namespace

pkg::PackageHeader DefaultHeader() {
    pkg::PackageHeader h;
    h.Seconds = 5;
    h.EffectSpeed = 5;
    h.ExitMouseMove = true;
    h.ExitMouseButton = true;
    h.ExitKeyboard = true;
    h.ExitESC = true;
    h.AllowRunAsProgram = true;
    h.LogoTransparentColor = kNoColor;
    return h;
}

void ReadHeaderSettings(const Json& object, const std::string& path, pkg::PackageHeader& header) {
    if (!object.is_object()) {
        Reject(path, Shown(object) + " is not an object");
    }
    for (const auto& [key, value] : object.items()) {
        const std::string at = Member(path, key);
        const auto* field = FindField(HeaderFields(), key);
        if (field == nullptr) {
            Reject(path, "unknown header field " + key + SuggestionText(key, SettableHeaderFields()));
        }
        if (field->shape == FieldShape::Flag) {
            header.*std::get<bool pkg::PackageHeader::*>(field->member) = ReadBool(value, at);
        } else if (field->shape == FieldShape::Color) {
            header.*std::get<std::int32_t pkg::PackageHeader::*>(field->member) = ReadColor(value, at);
        } else if (field->shape == FieldShape::Text) {
            Reject(at, Shown(value) + " is not settable here: the piece's \"ext\" gives it");
        } else if (const Setting* s = FindNumber(key)) {
            header.*std::get<std::int32_t pkg::PackageHeader::*>(field->member) =
                s->codes != nullptr ? ReadCode(value, at, s->codes(), s->min, s->max)
                                    : ReadInt32(value, at, s->min, s->max);
        } else {
            Reject(at, Shown(value) + " is not settable: the builder computes it (overrides.header can force it)");
        }
    }
}

}  // namespace sspack
