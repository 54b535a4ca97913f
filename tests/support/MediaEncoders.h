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

}  // namespace testing_support
