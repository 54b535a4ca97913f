#pragma once

// Pictures for the benchmarks, and the image libraries' own decoding of them as the references.

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"

namespace bench {

// A photograph's size as phones take them: 12 megapixels.
inline constexpr int kPhoneWidth = 4032;
inline constexpr int kPhoneHeight = 3024;

std::vector<std::uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A photograph-like picture: smooth gradients with some detail, so that it compresses as photos do.
gfx::TBitmap32 PhotoLike(int width, int height);

// libheif decoding the primary picture into 32-bit rows, with the threads it takes by default.
void PlainHeifDecode(const std::vector<std::uint8_t>& bytes);
// libwebp decoding into 32-bit rows.
void PlainWebpDecode(const std::vector<std::uint8_t>& bytes);

#if SAVER_BENCH_ENCODERS
// The files phones and the web make, from PhotoLike at the phone's size: a HEIC in 512-pixel tiles
// and a WebP of quality 80.
std::vector<std::uint8_t> PhoneHeic();
std::vector<std::uint8_t> PhoneWebp();
#endif

}  // namespace bench
