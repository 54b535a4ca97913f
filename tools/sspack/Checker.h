#pragma once

#include <string>
#include <vector>

namespace sspack {

// What a file without a package is told.
extern const char* const kNoPackage;

// Problems of a built saver, one line each, naming the table, the index and the field; empty when
// the package reads, every piece comes out whole and the screen saver would show or play each.
// Every piece is taken out, by the same rules the runtime uses, into a temporary folder of its own
// that is removed afterwards.
std::vector<std::string> CheckPackage(const std::string& path);

}  // namespace sspack
