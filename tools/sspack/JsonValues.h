#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace sspack {

using Json = nlohmann::json;

// A manifest that cannot be built. The text starts with the field's path ("items[2].sizeMode")
// and shows the value as the manifest wrote it.
class ManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Reject(const std::string& path, const std::string& what);

// The value as JSON text, for messages.
std::string Shown(const Json& value);

// "path.key" (or "key" at the top) and "path[index]".
std::string Member(const std::string& path, std::string_view key);
std::string Element(const std::string& path, std::size_t index);

// The value must be an object whose keys are all known; an unknown key is a typing error the
// user should hear about rather than a setting silently lost, with the key meant or the known ones.
void ExpectObject(const Json& value, const std::string& path, std::initializer_list<std::string_view> known);
void ExpectArray(const Json& value, const std::string& path);

std::int64_t ReadInteger(const Json& value, const std::string& path, std::int64_t min, std::int64_t max);
std::int32_t ReadInt32(const Json& value, const std::string& path, std::int32_t min, std::int32_t max);
bool ReadBool(const Json& value, const std::string& path);
std::string ReadString(const Json& value, const std::string& path);

// Package text: converted to Windows-1252 and at most maxBytes long.
std::string ReadAnsi(const Json& value, const std::string& path, std::size_t maxBytes);

// A TColor: an integer 0x00BBGGRR, a system colour 0x800000nn (also as its negative 32-bit
// value), 0x1FFFFFFF for none, or the strings "#RRGGBB" and "none".
std::int32_t ReadColor(const Json& value, const std::string& path);

inline constexpr std::int32_t kNoColor = 0x1FFFFFFF;

// An extension must fit its field (width characters, the dot included) and be a dot followed by
// letters, digits or underscores: it ends up in a temporary file name.
void CheckExtension(const std::string& ext, const std::string& path, std::size_t width, const std::string& origin);
std::string ReadExtension(const Json& value, const std::string& path, std::size_t width);

}  // namespace sspack
