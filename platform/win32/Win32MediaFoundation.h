#pragma once

// The media player over the system's Media Foundation, for the kinds MCI cannot choose a device
// for by itself (MP4, M4V, MOV, M4A, AAC). Media Foundation is loaded at run time: where it is
// missing (editions without the media features) the program still starts.

#include <memory>
#include <string>

#include "platform/Media.h"

namespace plat::win32 {

// Whether a file goes to Media Foundation first, by its extension.
bool PlaysThroughMediaFoundation(const std::string& path);

// A player whose Open fails when Media Foundation is missing or refuses the file.
std::unique_ptr<MediaPlayer> CreateMediaFoundationPlayer();

}  // namespace plat::win32
