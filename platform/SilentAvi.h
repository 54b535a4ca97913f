#pragma once

#include <string>

namespace plat {

// Writes a copy of an AVI movie whose sound streams are marked as streams of no known kind, so
// that a player that cannot lower a movie's volume plays the copy without sound. False, and no
// copy, when the file is not an AVI movie with a sound stream or cannot be copied.
bool WriteSilentAviCopy(const std::string& source, const std::string& target);

}  // namespace plat
