#pragma once

// Media files for the media services of both machines: what their headers say is what counts.

#include <cstdint>
#include <optional>
#include <vector>

namespace testing_support {

// A WAV file of silence, 8000 samples a second, 8 bits, mono.
std::vector<std::uint8_t> SilentWav(std::uint32_t ms);

// MPEG-1 Layer III frames of 128 kbit/s at 44.1 kHz: each 1152 samples long.
std::vector<std::uint8_t> Mp3Frames(int frames);

// An AVI movie header list with uncompressed frames at 10 a second, and a sound stream when asked.
std::vector<std::uint8_t> MovieAvi(int width, int height, int frames, bool withSound);

// An ISO base media file (MP4, M4A, MOV): a box of each `leading` type first (as QuickTime files
// may start with "wide" or "mdat"), then "ftyp" with the brand when one is given, then "moov" with
// the length in a movie header and a picture track of width x height when width > 0 and a sound
// track when asked.
struct IsoMediaFields {
    std::uint32_t ms = 2000;
    int width = 320;
    int height = 240;
    bool withSound = true;
    const char* brand = "isom";  // nullptr: no "ftyp"
    std::vector<const char*> leading;
};
std::vector<std::uint8_t> IsoMedia(const IsoMediaFields& fields);

// AAC in ADTS frames, 44.1 kHz stereo: each frame 1024 samples long.
std::vector<std::uint8_t> AdtsFrames(int frames);

// A Flash movie of width x height pixels (its frame rectangle from 0, 0, in twips), frames at
// fps8_8 / 256 a second, a background tag when a colour (0xRRGGBB) is given, and the frames; its
// body zlib-compressed behind the signature "CWS" when asked, else behind "FWS".
struct FlashMovieFields {
    int width = 550;
    int height = 400;
    std::uint16_t fps8_8 = 25 * 256;
    std::uint16_t frames = 50;
    std::optional<std::uint32_t> background;
    bool compressed = false;
    int extraTwips = 0;  // added to the rectangle's right and bottom ends
};
std::vector<std::uint8_t> FlashMovie(const FlashMovieFields& fields);

}  // namespace testing_support
