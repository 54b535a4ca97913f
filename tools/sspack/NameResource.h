#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sspack {

// The display settings list a screen saver under its string resource 1 (language neutral): a
// field of 30 characters, the name followed by spaces. A built saver carries its own name there.
inline constexpr std::size_t kNameFieldLength = 30;

// Where the 30 UTF-16 characters of that field lie in the file; nothing when the bytes are not a
// PE image or the string is missing or not exactly 30 characters long.
std::optional<std::size_t> FindNameField(std::span<const std::uint8_t> image);

// The field as UTF-8, spaces included.
std::optional<std::string> ReadNameResource(std::span<const std::uint8_t> image);

// Writes the name (Windows-1252 package text), padded with spaces or cut to 30 characters, into
// the field in place. False, with the bytes untouched, when there is no such field.
bool PatchNameResource(std::vector<std::uint8_t>& image, const std::string& ansiName);

}  // namespace sspack
