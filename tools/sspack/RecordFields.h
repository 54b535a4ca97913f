#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "package/PackageFormat.h"
#include "tools/sspack/JsonValues.h"

namespace sspack {

// The header and the records by their field names, so that overrides can set any field and the
// listing can show every one without a second copy of the names.

enum class FieldShape {
    Number,
    Color,
    Flag,
    Text,     // a fixed or counted character field of `width` characters
    Effects,  // an EffectSelection: shown as effect numbers
    Byte,
};

template <typename Record>
struct Field {
    using Member =
        std::variant<std::int32_t Record::*, bool Record::*, std::string Record::*, std::uint8_t Record::*>;

    std::string_view name;
    Member member;
    FieldShape shape = FieldShape::Number;
    std::size_t width = 0;
};

std::span<const Field<pkg::PackageHeader>> HeaderFields();
std::span<const Field<pkg::ItemRecord>> ItemFields();
std::span<const Field<pkg::MaskRecord>> MaskFields();
std::span<const Field<pkg::EntrySoundRecord>> EntrySoundFields();

template <typename Record>
const Field<Record>* FindField(std::span<const Field<Record>> fields, std::string_view name) {
    for (const auto& field : fields) {
        if (field.name == name) {
            return &field;
        }
    }
    return nullptr;
}

// The field's value as JSON: numbers, booleans, text as UTF-8, effect selections as arrays.
template <typename Record>
Json FieldValue(const Record& record, const Field<Record>& field);

// Sets a field to exactly the value given, for overrides: only the JSON type, the 32-bit range
// and the field's width are checked. Text is taken as Windows-1252; effect selections may also be
// given as arrays of numbers (any 1..255).
template <typename Record>
void SetField(Record& record, const Field<Record>& field, const Json& value, const std::string& path);

// Every key of the object must name a field; each is set with SetField.
template <typename Record>
void SetFields(Record& record, std::span<const Field<Record>> fields, const Json& object, const std::string& path);

// Effect numbers of an EffectSelection, for listings.
Json EffectNumbers(const std::string& selection);

}  // namespace sspack
