#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sspack {

// Names compared without regard to case.
bool SameName(std::string_view a, std::string_view b);

// The known name nearest to the given one when it is near enough to be what was meant: a
// difference of letter case, or a few letters typed wrong, left out or added.
std::optional<std::string_view> NearestName(std::string_view given, std::span<const std::string_view> known);

// "; did you mean Seconds?" for a near name, else " (known: a, b, c)"; names are quoted as JSON
// strings when `quoted`.
std::string SuggestionText(std::string_view given, std::span<const std::string_view> known, bool quoted = false);

}  // namespace sspack
