#pragma once

#include <optional>
#include <string>

namespace sspack {

// What every refusal of an unknown picture format says.
extern const char* const kNotAPictureFormat;

// Why the screen saver would not show a picture file, or nothing when it would. The runtime picks
// the decoder by the extension the package gives the piece (`ext`, with its dot, any letter
// case), reads the file whole and decodes it; so does this check, with the runtime's decoders.
// Metafiles, which only Windows draws, are checked as far as their headers go.
std::optional<std::string> PictureProblem(const std::string& path, const std::string& ext);

}  // namespace sspack
