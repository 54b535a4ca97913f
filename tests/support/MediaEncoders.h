#pragma once

// Media files for the media services of both machines: what their headers say is what counts.

#include <cstdint>
#include <vector>

namespace testing_support {

// A WAV file of silence, 8000 samples a second, 8 bits, mono.
std::vector<std::uint8_t> SilentWav(std::uint32_t ms);

// MPEG-1 Layer III frames of 128 kbit/s at 44.1 kHz: each 1152 samples long.
std::vector<std::uint8_t> Mp3Frames(int frames);

// An AVI movie header list with uncompressed frames at 10 a second, and a sound stream when asked.
std::vector<std::uint8_t> MovieAvi(int width, int height, int frames, bool withSound);

// A Flash movie's header: signature, version 6, file length, the frame rectangle 0..w by 0..h
// twips in fields of `bits` bits, a frame rate of 24, a frame count of 10, one frame and the end
// (25 bytes with 15-bit fields, the smallest movie); "CWS" with everything after the first 8 bytes
// as one zlib stream when compressed.
std::vector<std::uint8_t> FlashMovie(std::uint32_t wTwips, std::uint32_t hTwips, bool compressed, int bits = 15);

}  // namespace testing_support
