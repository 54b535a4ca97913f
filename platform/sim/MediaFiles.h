#pragma once

// What the simulated media services know of a file: its length, and for a movie its picture size.

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace sim {

struct MediaInfo {
    std::uint32_t lengthMs = 0;
    gfx::IntSize picture;  // 0 x 0: sound only
    bool hasSound = true;
    gfx::Color32 pictureColor = 0xFF808080;  // what the simulated screen shows of the movie
    // Commands the device refuses for this file, by the names the players' log gives them:
    // "display", "rect", "volume".
    std::set<std::string> refused;
};

// Reads the length (and picture size) from the own headers of a WAV, AVI, MPEG audio, AAC (ADTS)
// or ISO media file (MP4, M4V, M4A, MOV); nothing when the file is none of these or is damaged.
std::optional<MediaInfo> ReadMediaHeaders(const std::string& path);

// What the test or tool set for an existing file (the machine's mediaFiles), by its lower-case file
// name or, failing that, its extension; nothing when it set nothing for it.
std::optional<MediaInfo> MediaFileSetting(const std::string& path);

// A rectangle as the players' log writes it: "left,top,right,bottom".
std::string RectText(const gfx::IntRect& r);

}  // namespace sim
