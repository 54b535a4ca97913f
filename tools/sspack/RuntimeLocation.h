#pragma once

#include <string>
#include <vector>

namespace sspack {

// Where the runtime is looked for when a build names none, in order: saver.scr beside this
// program, then the one the cross build makes (build/win32/bin/ beside build/linux/bin/).
std::vector<std::string> RuntimeCandidates();

}  // namespace sspack
