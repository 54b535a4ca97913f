#include "tools/sspack/HeaderSettings.h"

#include <array>
#include <limits>

#include "tools/sspack/RecordFields.h"

namespace sspack {

namespace {

struct Setting {
    std::string_view name;
    std::int32_t min = 0;
    std::int32_t max = 0;
};

constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::max();

// Numbers with their ranges; colours and flags are recognised by their field's shape.
constexpr std::array kNumbers = {
    Setting{"Seconds", 1, 60},        // the panel's spin edit cannot show more
    Setting{"DisplayOrder", 0, 2},    // sequential, random, shuffle
    Setting{"GradientStyle", 0, 8},
    Setting{"BackgroundImageMode", 0, 2},  // tiled, scaled, centred
    Setting{"Stretch", 0, 5},
    Setting{"EffectSpeed", 1, 10},
    Setting{"LogoPosition", 0, 6},
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
            Reject(at, "unknown header field (value " + Shown(value) + ")");
        }
        if (field->shape == FieldShape::Flag) {
            header.*std::get<bool pkg::PackageHeader::*>(field->member) = ReadBool(value, at);
        } else if (field->shape == FieldShape::Color) {
            header.*std::get<std::int32_t pkg::PackageHeader::*>(field->member) = ReadColor(value, at);
        } else if (field->shape == FieldShape::Text) {
            Reject(at, Shown(value) + " is not settable here: the piece's \"ext\" gives it");
        } else if (const Setting* s = FindNumber(key)) {
            header.*std::get<std::int32_t pkg::PackageHeader::*>(field->member) = ReadInt32(value, at, s->min, s->max);
        } else {
            Reject(at, Shown(value) + " is not settable: the builder computes it (overrides.header can force it)");
        }
    }
}

}  // namespace sspack
