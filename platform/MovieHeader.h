#pragma once

// What a Flash movie file's own header says: the frame rectangle, the frame rate and count, and the
// colour of its background tag. A movie whose signature is "CWS" keeps everything after its first
// 8 bytes as one zlib stream, and is read inflated; any other file is read as it stands.

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/Color.h"

namespace plat {

struct MovieHeader {
    bool compressed = false;
    // The frame rectangle's four values in twips, each read as an unsigned number.
    std::uint32_t xMin = 0;
    std::uint32_t xMax = 0;
    std::uint32_t yMin = 0;
    std::uint32_t yMax = 0;
    // Frames a second in 8.8 fixed point, and how many frames; 0 when the file ends before them.
    std::uint16_t frameRate = 0;
    std::uint16_t frameCount = 0;
    // The colour of the first background tag before the first frame, when there is one.
    std::optional<gfx::Color32> background;
};

// Reads the start of a movie file. Nothing when it cannot be opened, or when fewer than the 17
// bytes that the largest frame rectangle takes follow its first 8 (after inflating, for "CWS").
std::optional<MovieHeader> ReadMovieHeader(const std::string& path);

// How long one pass through the movie lasts: frame count / frame rate seconds; 0 without a rate.
std::uint64_t MoviePlayMs(const MovieHeader& header);

}  // namespace plat
