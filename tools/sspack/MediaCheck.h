#pragma once

#include <optional>
#include <string>

namespace sspack {

// Why the screen saver would not play a music track or an entry sound, or nothing when it would:
// the file must be a WAV, MP3, MIDI, WMA, M4A or AAC (ADTS) sound by its headers.
std::optional<std::string> SoundProblem(const std::string& path);

// The same for a video item: an AVI, ASF (WMV), MPEG, MP4 or MOV video by its headers; an ".AVI"
// must hold an AVI, which is all the device that plays that extension reads, and MP4 and MOV videos
// must go by ".MP4", ".M4V" or ".MOV", the extensions that take them to the services that read them.
std::optional<std::string> VideoProblem(const std::string& path, const std::string& ext);

// The same for a Flash item: a movie whose header the screen saver reads its frame size from, as
// it stands ("FWS") or compressed ("CWS").
std::optional<std::string> MovieProblem(const std::string& path);

}  // namespace sspack
