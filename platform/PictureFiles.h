#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// Shared by both backends' picture services.

// The file's extension with its dot, upper-cased; "" when it has none.
std::string UpperExtension(const std::string& path);

// The whole file, unless it is missing or larger than any picture file may be.
std::optional<std::vector<std::uint8_t>> ReadPictureBytes(const std::string& path);

}  // namespace plat
