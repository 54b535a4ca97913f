#pragma once

#include <string>

namespace core {

// The extension of a file name with its dot, "" when there is none. Both folder separators count,
// so the same rule holds for Windows paths and for the simulated platform's.
std::string ExtractFileExt(const std::string& path);

std::string UpperCase(std::string text);

}  // namespace core
