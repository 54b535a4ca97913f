#pragma once

#include <string>

namespace pkg {

// A file extension taken from package bytes is only used in a file name when it is a dot followed
// by one to seven letters, digits or underscores; anything else could leave the temporary folder.
bool IsSafeExtension(const std::string& ext);

}  // namespace pkg
