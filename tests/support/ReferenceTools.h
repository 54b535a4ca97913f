#pragma once

// The image libraries' own command-line tools as the references of the decoder tests: running one,
// reading the picture it dumps, our decoding with its reason, and how far the two pictures are apart.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/decode/PictureDecoder.h"
#include "gfx/decode/PictureFormats.h"
#include "tests/support/TempDir.h"

namespace testing_support {

// A test with a fresh folder for the files handed to the tools and for what they write.
class ReferenceToolTest : public testing::Test {
protected:
    std::filesystem::path Folder() const { return dir_.Path(); }
    // Writes the bytes into the folder as `name`; the file's path.
    std::filesystem::path Put(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    TempDir dir_;
};

// Runs a shell command in `folder` (where it leaves its log); its output, standard error included.
std::string RunTool(const std::string& command, const std::string& folder);

// A binary PPM (P6) or PAM (P7, RGB_ALPHA or RGB) of 8-bit samples, as the tools dump them.
gfx::TBitmap32 ReadNetpbm(const std::string& path);

// A file as DecodePicture gives it: the picture, or why there is none.
struct DecodedPicture {
    std::optional<gfx::TPicture> picture;
    std::string why;
    const gfx::TBitmap32& Still() const { return picture->frames.front().bitmap; }
};
DecodedPicture DecodeWithReason(gfx::TPictureFormat format, const std::vector<std::uint8_t>& bytes);
// What the decoder makes of the bytes: none when it cannot open or decode them (its Failure says why).
std::optional<gfx::TPicture> OpenAndDecode(gfx::TPictureDecoder& decoder, const std::vector<std::uint8_t>& bytes);

// The largest difference of any channel, alpha included, between two bitmaps; 256 when their sizes
// differ.
int MaxDifference(const gfx::TBitmap32& a, const gfx::TBitmap32& b);

}  // namespace testing_support
