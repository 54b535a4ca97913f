#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace sspack {

class FileIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// Writes the bytes to a temporary name beside the target and renames it only once everything is
// written, so that a failed build never leaves a half-written saver under the wanted name.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace sspack
