#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sspack {

// One zlib stream of the bytes, as the runtime inflates compressed pieces.
std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> bytes);

}  // namespace sspack
